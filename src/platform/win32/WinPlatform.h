#pragma once
#include "platform/Platform.h"

namespace ravlin {

// The real Windows functions.
class WinPlatform : public Platform {
 public:
  void GetNativeSystemInfo(SystemInfo* systemInfo) override;
  uint32_t GetSystemDirectoryA(char* buffer, uint32_t size) override;
  uint32_t GetFullPathNameA(const char* fileName, uint32_t bufferLength, char* buffer,
                            char** filePart) override;
  uint32_t GetFileAttributesA(const char* fileName) override;
  int32_t GetFileAttributesExA(const char* fileName, FileAttributeData* data) override;
  Module LoadLibraryExA(const char* fileName, Handle file, uint32_t flags) override;
  uint32_t GetLastError() override;
  Proc GetProcAddress(Module module, const char* procName) override;
  Handle CreateThread(void* threadAttributes, size_t stackSize, ThreadProc startAddress,
                      void* parameter, uint32_t creationFlags, uint32_t* threadId) override;
  int32_t CallExport(Proc entryPoint) override;
  int32_t OleInitialize(void* reserved) override;
  void OleUninitialize() override;
  void InstallCrashFilter() override;
  int32_t TakeCrashRecord(uint32_t threadId, CrashRecord* record) override;
  uint32_t WaitForSingleObject(Handle handle, uint32_t milliseconds) override;
  int32_t GetExitCodeThread(Handle thread, uint32_t* exitCode) override;
  int32_t CloseHandle(Handle object) override;
  int32_t CreateProcessA(const char* applicationName, char* commandLine, uint32_t creationFlags,
                         ProcessInformation* information) override;
  int32_t GetExitCodeProcess(Handle process, uint32_t* exitCode) override;
  int32_t CreateProcessInJobA(const char* applicationName, char* commandLine, uint32_t creationFlags,
                              ProcessInformation* information, Handle* job) override;
  Handle OpenProcess(uint32_t desiredAccess, int32_t inheritHandle, uint32_t processId) override;
  uint32_t GetCurrentProcessId() override;
  int32_t TerminateProcess(Handle process, uint32_t exitCode) override;
  uint32_t GetModuleFileNameA(Module module, char* fileName, uint32_t size) override;
  uint32_t GetWindowsDirectoryA(char* buffer, uint32_t size) override;
  uint32_t GetCurrentDirectoryA(uint32_t size, char* buffer) override;
  uint32_t GetEnvironmentVariableA(const char* name, char* buffer, uint32_t size) override;
  uint32_t GetSystemWow64DirectoryA(char* buffer, uint32_t size) override;
  Handle CreateFileA(const char* fileName, uint32_t desiredAccess, uint32_t shareMode,
                     uint32_t creationDisposition, uint32_t flagsAndAttributes) override;
  int32_t SetFilePointerEx(Handle file, int64_t distance, int64_t* newPosition,
                           uint32_t moveMethod) override;
  int32_t ReadFile(Handle file, void* buffer, uint32_t bytesToRead, uint32_t* bytesRead) override;
  int32_t FreeLibrary(Module module) override;
  int32_t WriteFile(Handle file, const void* buffer, uint32_t bytesToWrite, uint32_t* bytesWritten) override;
  int32_t CopyFileA(const char* existingFileName, const char* newFileName, int32_t failIfExists) override;
  int32_t MoveFileA(const char* existingFileName, const char* newFileName) override;
  int32_t MoveFileExA(const char* existingFileName, const char* newFileName, uint32_t flags) override;
  int32_t SfcIsFileProtectedA(const char* fileName) override;
  int32_t DeleteFileA(const char* fileName) override;
  int32_t RemoveDirectoryA(const char* pathName) override;
  int32_t GetFileInformationByHandle(Handle file, FileIndex* information) override;
  int32_t CoCreateGuid(std::string* guid) override;
  Handle FindResourceA(Module module, const char* name, const char* type) override;
  int32_t LoadTypeLibraryA(const char* fileName, TypeLibraryAttributes* attributes) override;
  uint32_t FormatMessageA(uint32_t flags, const void* source, uint32_t messageId,
                          uint32_t languageId, char* buffer, uint32_t size,
                          void* arguments) override;
  uint32_t GetFileVersionInfoSizeA(const char* fileName, uint32_t* handle) override;
  int32_t GetFileVersionInfoA(const char* fileName, uint32_t handle, uint32_t length,
                              void* data) override;
  int32_t WideCharToMultiByte(uint32_t codePage, uint32_t flags, const char16_t* wideText,
                              int32_t wideLength, char* multiByteText, int32_t multiByteLength,
                              const char* defaultChar, int32_t* usedDefaultChar) override;
  int32_t IsUserAnAdmin() override;
  int32_t ShellExecuteExA(Hwnd owner, const char* verb, const char* file, const char* parameters,
                          const char* directory, int showCommand, Handle* process) override;
  int32_t RegOpenKeyExA(RegKey key, const char* subKey, uint32_t options, uint32_t samDesired,
                        RegKey* result) override;
  int32_t RegEnumKeyExA(RegKey key, uint32_t index, char* name, uint32_t* nameLength,
                        uint64_t* lastWriteTime) override;
  int32_t RegQueryValueExA(RegKey key, const char* valueName, uint32_t* type, uint8_t* data,
                           uint32_t* dataSize) override;
  int32_t RegCloseKey(RegKey key) override;
  int32_t RegCreateKeyExA(RegKey key, const char* subKey, uint32_t samDesired, RegKey* result,
                          uint32_t* disposition) override;
  int32_t RegOverridePredefKey(RegKey key, RegKey newKey) override;
  int32_t RegDeleteTreeA(RegKey key, const char* subKey) override;
  uint32_t ExpandEnvironmentStringsA(const char* source, char* destination, uint32_t size) override;
  uint32_t GetLongPathNameA(const char* shortPath, char* longPath, uint32_t size) override;
  uint64_t GetSystemTimeAsFileTime() override;

  uint32_t WaitKeepingWindowAlive(Handle handle, uint32_t milliseconds) override;

  int32_t CreateProcessInDirectoryA(const char* applicationName, char* commandLine, const char* currentDirectory,
                                    ProcessInformation* information) override;
  int32_t EnumWindows(EnumWindowsCallback callback, intptr_t parameter) override;
  uint32_t GetWindowThreadProcessId(Hwnd window, uint32_t* processId) override;
  int32_t IsWindowVisible(Hwnd window) override;
  int32_t GetClassNameA(Hwnd window, char* className, int32_t maxCount) override;
  uint32_t GetDlgItemTextA(Hwnd dialog, int32_t itemId, char* text, int32_t maxCount) override;
  Proc GetLoadedModuleExport(const char* moduleName, const char* procName) override;
  Handle FindFirstFileA(const char* pattern, FindData* data) override;
  int32_t FindNextFileA(Handle find, FindData* data) override;
  int32_t FindClose(Handle find) override;
  uint32_t GetTempPathA(uint32_t size, char* buffer) override;
  int32_t CreateDirectoryA(const char* pathName) override;
  int32_t ListCabinetA(const char* cabinet, std::vector<CabinetMember>* members) override;
  int32_t ExtractCabinetMemberA(const char* cabinet, uint32_t index, const char* target) override;
  int32_t RegisterTypeLibraryA(const char* fileName) override;
  int32_t UnRegisterTypeLibraryA(const char* fileName) override;

 private:
  // CreateProcessW with the defaults both starts share; a null folder is the program's own.
  static int32_t StartProcess(const char* applicationName, char* commandLine, uint32_t creationFlags,
                              const char* currentDirectory, ProcessInformation* information);
};

}  // namespace ravlin
