// What a capture of a control's registration calls: a private registry key,
// the process's roots redirected to it, and the processes and files around it.
#include <windows.h>

#include "platform/win32/WinPlatform.h"
#include "platform/win32/WideText.h"

namespace ravlin {

int32_t WinPlatform::RegCreateKeyExA(RegKey key, const char* subKey, uint32_t samDesired, RegKey* result) {
  HKEY created = nullptr;
  const LONG status = ::RegCreateKeyExW(static_cast<HKEY>(key), WideArg(subKey).get(), 0, nullptr, 0, samDesired,
                                        nullptr, &created, nullptr);
  *result = created;
  return status;
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

}  // namespace ravlin
