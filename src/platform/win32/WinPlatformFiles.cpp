// The platform's file writes and resource look-up.
#include <windows.h>

#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WinPlatform.h"
#include "platform/win32/WideText.h"

namespace ravlin {

int32_t WinPlatform::WriteFile(Handle file, const void* buffer, uint32_t bytesToWrite,
                               uint32_t* bytesWritten) {
  DWORD written = 0;
  const BOOL ok = ::WriteFile(file, buffer, bytesToWrite, &written, nullptr);
  if (bytesWritten) *bytesWritten = written;
  return ok;
}

int32_t WinPlatform::CopyFileA(const char* existingFileName, const char* newFileName, int32_t failIfExists) {
  return ::CopyFileW(WidePath(existingFileName).get(), WidePath(newFileName).get(), failIfExists);
}

int32_t WinPlatform::MoveFileA(const char* existingFileName, const char* newFileName) {
  return ::MoveFileExW(WidePath(existingFileName).get(), WidePath(newFileName).get(), 0);
}

int32_t WinPlatform::MoveFileExA(const char* existingFileName, const char* newFileName, uint32_t flags) {
  return ::MoveFileExW(WidePath(existingFileName).get(), WidePath(newFileName).get(), flags);
}

int32_t WinPlatform::SfcIsFileProtectedA(const char* fileName) {
  // Looked up at run time: only a replacement the user may ask for needs it.
  const SystemLibrary sfc("sfc.dll");
  using Protected = BOOL(WINAPI*)(HANDLE, LPCWSTR);
  const auto isProtected = sfc.Find<Protected>("SfcIsFileProtected");
  return isProtected && isProtected(nullptr, WidePath(fileName).get()) ? 1 : 0;
}

Handle WinPlatform::FindResourceA(Module module, const char* name, const char* type) {
  // A numbered name or type is passed on as the number it is.
  auto wide = [](const char* text, WideText& storage) -> LPCWSTR {
    if (IS_INTRESOURCE(text)) return reinterpret_cast<LPCWSTR>(text);
    const WideArg converted(text);
    const wchar_t* begin = converted.get();
    storage.assign(begin, begin + wcslen(begin) + 1);
    return storage.data();
  };
  WideText nameText, typeText;
  return ::FindResourceW(static_cast<HMODULE>(module), wide(name, nameText), wide(type, typeText));
}

}  // namespace ravlin
