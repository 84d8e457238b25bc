// The platform's folder listing, the temporary folder, and the look-up of an
// export of a module the process has already.
#include <windows.h>

#include "platform/win32/WinPlatform.h"
#include "platform/win32/WideText.h"

namespace ravlin {
namespace {

void Take(const WIN32_FIND_DATAW& found, FindData* data) {
  data->attributes = found.dwFileAttributes;
  data->size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  data->name = Narrow(found.cFileName, wcslen(found.cFileName));
}

}  // namespace

Proc WinPlatform::GetLoadedModuleExport(const char* moduleName, const char* procName) {
  const HMODULE module = ::GetModuleHandleW(WideArg(moduleName).get());
  return module ? reinterpret_cast<Proc>(::GetProcAddress(module, procName)) : nullptr;
}

Handle WinPlatform::FindFirstFileA(const char* pattern, FindData* data) {
  WIN32_FIND_DATAW found{};
  const HANDLE find = ::FindFirstFileW(WidePath(pattern).get(), &found);
  if (find != INVALID_HANDLE_VALUE) Take(found, data);
  return find;
}

int32_t WinPlatform::FindNextFileA(Handle find, FindData* data) {
  WIN32_FIND_DATAW found{};
  if (!::FindNextFileW(find, &found)) return 0;
  Take(found, data);
  return 1;
}

int32_t WinPlatform::FindClose(Handle find) { return ::FindClose(find); }

uint32_t WinPlatform::GetTempPathA(uint32_t size, char* buffer) {
  const WideText path = WideQuery([](wchar_t* room, DWORD length) { return ::GetTempPathW(length, room); });
  if (path.empty()) return 0;
  const std::string text = Narrow(path);
  return text.empty() ? 0 : CopyOut(text, buffer, size);
}

int32_t WinPlatform::CreateDirectoryA(const char* pathName) {
  return ::CreateDirectoryW(WidePath(pathName).get(), nullptr);
}

}  // namespace ravlin
