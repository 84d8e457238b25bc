#include "platform/win32/WinPlatform.h"

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>
#include <winver.h>

#include <memory>

#include "platform/Toolkit.h"
#include "platform/win32/CrashFilter.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WideText.h"

namespace ravlin {
namespace {

using Export = HRESULT(STDAPICALLTYPE*)();

// Only bridges the calling convention: the program's thread procedure does the work.
struct ThreadStart {
  ThreadProc procedure;
  void* parameter;
};

DWORD WINAPI StartThread(LPVOID start) {
  const ThreadStart copy = *static_cast<ThreadStart*>(start);
  delete static_cast<ThreadStart*>(start);
  return copy.procedure(copy.parameter);
}

}  // namespace

void WinPlatform::GetNativeSystemInfo(SystemInfo* systemInfo) {
  SYSTEM_INFO info{};
  ::GetNativeSystemInfo(&info);
  systemInfo->wProcessorArchitecture = info.wProcessorArchitecture;
  systemInfo->dwPageSize = info.dwPageSize;
}

uint32_t WinPlatform::GetSystemDirectoryA(char* buffer, uint32_t size) {
  return ::GetSystemDirectoryA(buffer, size);
}

// The paths below go through the wide functions (WideText.h): the 8-bit ones stop at 260 characters.
uint32_t WinPlatform::GetFullPathNameA(const char* fileName, uint32_t bufferLength,
                                       char* buffer, char** filePart) {
  const WideArg name(fileName);
  const std::string full = Narrow(WideQuery([&](wchar_t* wide, DWORD size) {
    return ::GetFullPathNameW(name.get(), size, wide, nullptr);
  }));
  if (full.empty()) return 0;
  const uint32_t length = CopyOut(full, buffer, bufferLength);
  if (filePart && length < bufferLength) {
    const size_t afterSlash = full.find_last_of('\\') + 1;  // 0 when there is no separator
    *filePart = afterSlash < full.size() ? buffer + afterSlash : nullptr;
  }
  return length;
}

uint32_t WinPlatform::GetFileAttributesA(const char* fileName) {
  return ::GetFileAttributesW(WidePath(fileName).get());
}

int32_t WinPlatform::GetFileAttributesExA(const char* fileName, FileAttributeData* data) {
  WIN32_FILE_ATTRIBUTE_DATA found{};
  if (!::GetFileAttributesExW(WidePath(fileName).get(), GetFileExInfoStandard, &found)) return 0;
  data->attributes = found.dwFileAttributes;
  data->size = static_cast<uint64_t>(found.nFileSizeHigh) << 32 | found.nFileSizeLow;
  data->lastWriteTime =
      static_cast<uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32 | found.ftLastWriteTime.dwLowDateTime;
  return 1;
}

Module WinPlatform::LoadLibraryExA(const char* fileName, Handle file, uint32_t flags) {
  // No "cannot find" dialog from the system for a broken file.
  const UINT previous = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = ::LoadLibraryExW(WidePath(fileName).get(), file, flags);
  const DWORD error = ::GetLastError();
  ::SetErrorMode(previous);
  ::SetLastError(error);
  return module;
}

uint32_t WinPlatform::GetLastError() { return ::GetLastError(); }

Proc WinPlatform::GetProcAddress(Module module, const char* procName) {
  return reinterpret_cast<Proc>(::GetProcAddress(static_cast<HMODULE>(module), procName));
}

Handle WinPlatform::CreateThread(void* threadAttributes, size_t stackSize, ThreadProc startAddress,
                                 void* parameter, uint32_t creationFlags, uint32_t* threadId) {
  auto start = std::make_unique<ThreadStart>(ThreadStart{startAddress, parameter});
  DWORD id = 0;
  HANDLE thread = ::CreateThread(static_cast<LPSECURITY_ATTRIBUTES>(threadAttributes), stackSize,
                                 &StartThread, start.get(), creationFlags, &id);
  if (thread) (void)start.release();  // the new thread owns it now
  if (threadId) *threadId = id;
  return thread;
}

int32_t WinPlatform::CallExport(Proc entryPoint) {
  return reinterpret_cast<Export>(entryPoint)();
}

int32_t WinPlatform::OleInitialize(void* reserved) {
  const auto initialize = ComLibrary().Find<decltype(&::OleInitialize)>("OleInitialize");
  return initialize ? initialize(reserved) : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
}

void WinPlatform::OleUninitialize() {
  if (const auto uninitialize = ComLibrary().Find<decltype(&::OleUninitialize)>("OleUninitialize")) uninitialize();
}

void WinPlatform::InstallCrashFilter() { ravlin::InstallCrashFilter(); }

int32_t WinPlatform::TakeCrashRecord(uint32_t threadId, CrashRecord* record) {
  return ravlin::TakeCrashRecord(threadId, record) ? 1 : 0;
}

uint32_t WinPlatform::WaitForSingleObject(Handle handle, uint32_t milliseconds) {
  return ::WaitForSingleObject(handle, milliseconds);
}

int32_t WinPlatform::GetExitCodeThread(Handle thread, uint32_t* exitCode) {
  DWORD code = 0;
  const BOOL ok = ::GetExitCodeThread(thread, &code);
  *exitCode = code;
  return ok;
}

int32_t WinPlatform::CloseHandle(Handle object) { return ::CloseHandle(object); }

int32_t WinPlatform::GetExitCodeProcess(Handle process, uint32_t* exitCode) {
  DWORD code = 0;
  const BOOL ok = ::GetExitCodeProcess(process, &code);
  *exitCode = code;
  return ok;
}

uint32_t WinPlatform::GetWindowsDirectoryA(char* buffer, uint32_t size) {
  return ::GetWindowsDirectoryA(buffer, size);
}

uint32_t WinPlatform::GetCurrentDirectoryA(uint32_t size, char* buffer) {
  const std::string folder = Narrow(WideQuery([](wchar_t* wide, DWORD length) {
    return ::GetCurrentDirectoryW(length, wide);
  }));
  return folder.empty() ? 0 : CopyOut(folder, buffer, size);
}

uint32_t WinPlatform::GetEnvironmentVariableA(const char* name, char* buffer, uint32_t size) {
  return ::GetEnvironmentVariableA(name, buffer, size);
}

uint32_t WinPlatform::GetSystemWow64DirectoryA(char* buffer, uint32_t size) {
  return ::GetSystemWow64DirectoryA(buffer, size);
}

Handle WinPlatform::CreateFileA(const char* fileName, uint32_t desiredAccess, uint32_t shareMode,
                                uint32_t creationDisposition, uint32_t flagsAndAttributes) {
  return ::CreateFileW(WidePath(fileName).get(), desiredAccess, shareMode, nullptr,
                       creationDisposition, flagsAndAttributes, nullptr);
}

int32_t WinPlatform::SetFilePointerEx(Handle file, int64_t distance, int64_t* newPosition,
                                      uint32_t moveMethod) {
  LARGE_INTEGER move{};
  move.QuadPart = distance;
  LARGE_INTEGER now{};
  const BOOL ok = ::SetFilePointerEx(file, move, &now, moveMethod);
  if (newPosition) *newPosition = now.QuadPart;
  return ok;
}

int32_t WinPlatform::ReadFile(Handle file, void* buffer, uint32_t bytesToRead, uint32_t* bytesRead) {
  DWORD read = 0;
  const BOOL ok = ::ReadFile(file, buffer, bytesToRead, &read, nullptr);
  if (bytesRead) *bytesRead = read;
  return ok;
}

int32_t WinPlatform::FreeLibrary(Module module) {
  return ::FreeLibrary(static_cast<HMODULE>(module));
}

uint32_t WinPlatform::FormatMessageA(uint32_t flags, const void* source, uint32_t messageId,
                                     uint32_t languageId, char* buffer, uint32_t size,
                                     void* arguments) {
  return ::FormatMessageA(flags, source, messageId, languageId, buffer, size,
                          static_cast<va_list*>(arguments));
}

uint32_t WinPlatform::GetFileVersionInfoSizeA(const char* fileName, uint32_t* handle) {
  static const auto getSize =
      VersionLibrary().Find<decltype(&::GetFileVersionInfoSizeW)>("GetFileVersionInfoSizeW");
  DWORD h = 0;
  const DWORD size = getSize ? getSize(WidePath(fileName).get(), &h) : 0;
  if (handle) *handle = h;
  return size;
}

int32_t WinPlatform::GetFileVersionInfoA(const char* fileName, uint32_t handle, uint32_t length,
                                         void* data) {
  static const auto read =
      VersionLibrary().Find<decltype(&::GetFileVersionInfoW)>("GetFileVersionInfoW");
  return read ? read(WidePath(fileName).get(), handle, length, data) : 0;
}

int32_t WinPlatform::WideCharToMultiByte(uint32_t codePage, uint32_t flags,
                                         const char16_t* wideText, int32_t wideLength,
                                         char* multiByteText, int32_t multiByteLength,
                                         const char* defaultChar, int32_t* usedDefaultChar) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t), "WCHAR is a 16-bit unit on Windows");
  BOOL usedDefault = FALSE;
  const int length = ::WideCharToMultiByte(codePage, flags, reinterpret_cast<LPCWCH>(wideText),
                                           wideLength, multiByteText, multiByteLength,
                                           defaultChar, usedDefaultChar ? &usedDefault : nullptr);
  if (usedDefaultChar) *usedDefaultChar = usedDefault;
  return length;
}

int32_t WinPlatform::IsUserAnAdmin() {
  // Looked up by ordinal at run time, as older shells export it only that way.
  using AdminTest = BOOL(WINAPI*)();
  const auto test = ShellLibrary().Find<AdminTest>(MAKEINTRESOURCEA(680));
  if (!test) throw ToolkitError("Specified DLL function not found");
  return test();
}

int32_t WinPlatform::ShellExecuteExA(Hwnd owner, const char* verb, const char* file, const char* parameters,
                                     const char* directory, int showCommand, Handle* process) {
  const auto wideVerb = WideArg(verb), wideFile = WideArg(file), wideParameters = WideArg(parameters),
             wideDirectory = WideArg(directory);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.hwnd = static_cast<HWND>(owner);
  info.lpVerb = wideVerb.get();
  info.lpFile = wideFile.get();
  info.lpParameters = wideParameters.get();
  info.lpDirectory = wideDirectory.get();
  info.nShow = showCommand;
  const auto execute = ShellLibrary().Find<decltype(&::ShellExecuteExW)>("ShellExecuteExW");
  if (!execute) ::SetLastError(ERROR_PROC_NOT_FOUND);
  const BOOL started = execute && execute(&info);
  *process = started ? info.hProcess : nullptr;
  return started;
}

int32_t WinPlatform::RegOpenKeyExA(RegKey key, const char* subKey, uint32_t options,
                                   uint32_t samDesired, RegKey* result) {
  HKEY opened = nullptr;
  const LONG status = ::RegOpenKeyExA(static_cast<HKEY>(key), subKey, options, samDesired, &opened);
  *result = opened;
  return status;
}

namespace {
uint64_t AsNumber(const FILETIME& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}
}  // namespace

int32_t WinPlatform::RegEnumKeyExA(RegKey key, uint32_t index, char* name, uint32_t* nameLength,
                                   uint64_t* lastWriteTime) {
  DWORD length = *nameLength;
  FILETIME written = {};
  const LONG status = ::RegEnumKeyExA(static_cast<HKEY>(key), index, name, &length, nullptr, nullptr, nullptr,
                                      lastWriteTime ? &written : nullptr);
  *nameLength = length;
  if (lastWriteTime) *lastWriteTime = AsNumber(written);
  return status;
}

int32_t WinPlatform::RegQueryValueExA(RegKey key, const char* valueName, uint32_t* type,
                                      uint8_t* data, uint32_t* dataSize) {
  DWORD kind = 0;
  DWORD size = dataSize ? *dataSize : 0;
  const LONG status = ::RegQueryValueExA(static_cast<HKEY>(key), valueName, nullptr, &kind, data,
                                         dataSize ? &size : nullptr);
  if (type) *type = kind;
  if (dataSize) *dataSize = size;
  return status;
}

int32_t WinPlatform::RegCloseKey(RegKey key) { return ::RegCloseKey(static_cast<HKEY>(key)); }

uint32_t WinPlatform::ExpandEnvironmentStringsA(const char* source, char* destination, uint32_t size) {
  return ::ExpandEnvironmentStringsA(source, destination, size);
}

uint32_t WinPlatform::GetLongPathNameA(const char* shortPath, char* longPath, uint32_t size) {
  return ::GetLongPathNameA(shortPath, longPath, size);
}

uint64_t WinPlatform::GetSystemTimeAsFileTime() {
  FILETIME now = {};
  ::GetSystemTimeAsFileTime(&now);
  return AsNumber(now);
}

}  // namespace ravlin
