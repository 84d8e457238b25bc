// What a capture of a control's registration calls: a private registry key,
// the process's roots redirected to it, and the processes and files around it.
#include <windows.h>
#include <objbase.h>

#include <cwchar>

#include "platform/win32/WinPlatform.h"
#include "platform/win32/WideText.h"

namespace ravlin {

int32_t WinPlatform::RegCreateKeyExA(RegKey key, const char* subKey, uint32_t samDesired, RegKey* result,
                                     uint32_t* disposition) {
  HKEY created = nullptr;
  DWORD how = 0;
  const LONG status = ::RegCreateKeyExW(static_cast<HKEY>(key), WideArg(subKey).get(), 0, nullptr, 0, samDesired,
                                        nullptr, &created, &how);
  *result = created;
  if (disposition) *disposition = how;
  return status;
}

int32_t WinPlatform::CoCreateGuid(std::string* guid) {
  GUID made{};
  const HRESULT result = ::CoCreateGuid(&made);
  wchar_t text[40] = {};
  if (SUCCEEDED(result) && ::StringFromGUID2(made, text, 40) > 0) *guid = Narrow(text, wcslen(text));
  return result;
}

int32_t WinPlatform::RegOverridePredefKey(RegKey key, RegKey newKey) {
  return ::RegOverridePredefKey(static_cast<HKEY>(key), static_cast<HKEY>(newKey));
}

int32_t WinPlatform::RegDeleteTreeA(RegKey key, const char* subKey) {
  return ::RegDeleteTreeW(static_cast<HKEY>(key), WideArg(subKey).get());
}

int32_t WinPlatform::TerminateProcess(Handle process, uint32_t exitCode) {
  return ::TerminateProcess(process, exitCode);
}

uint32_t WinPlatform::GetModuleFileNameA(Module module, char* fileName, uint32_t size) {
  return CopyOut(ModuleFileName(static_cast<HMODULE>(module)), fileName, size);
}

int32_t WinPlatform::DeleteFileA(const char* fileName) { return ::DeleteFileW(WidePath(fileName).get()); }

int32_t WinPlatform::RemoveDirectoryA(const char* pathName) { return ::RemoveDirectoryW(WidePath(pathName).get()); }

int32_t WinPlatform::GetFileInformationByHandle(Handle file, FileIndex* information) {
  BY_HANDLE_FILE_INFORMATION found{};
  if (!::GetFileInformationByHandle(file, &found)) return 0;
  information->volumeSerialNumber = found.dwVolumeSerialNumber;
  information->fileIndex = (static_cast<uint64_t>(found.nFileIndexHigh) << 32) | found.nFileIndexLow;
  return 1;
}

}  // namespace ravlin
