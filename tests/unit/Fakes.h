#pragma once
// Scripted fakes of the toolkit and the platform. Every call is written to
// one shared log, so tests can check the order of what happened across both;
// every answer can be scripted through the on... hooks.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "FakeRegistry.h"
#include "FakeToolkit.h"
#include "window/frmRavlin.h"

namespace ravlin {

class FakePlatform : public Platform, public FakeRegistry {
 public:
  explicit FakePlatform(CallLog& log) : log_(log) {}

  // Scripted answers; a hook, when set, replaces the default.
  uint16_t architecture = kArchitectureIntel;
  std::function<void(SystemInfo*)> onGetNativeSystemInfo;  // may throw
  std::string systemDirectory = "C:\\WINDOWS\\system32";
  std::function<uint32_t(char*, uint32_t)> onGetSystemDirectoryA;
  std::function<uint32_t(const char*, uint32_t, char*, char**)> onGetFullPathNameA;
  std::function<uint32_t(const char*)> onGetFileAttributesA;
  // GetFileAttributesExA's answers by path; any other file is not there.
  std::map<std::string, FileAttributeData> fileData;
  std::function<Module(const char*, Handle, uint32_t)> onLoadLibraryExA;
  std::function<Proc(Module, const char*)> onGetProcAddress;
  std::function<Handle(void*, size_t, ThreadProc, void*, uint32_t, uint32_t*)> onCreateThread;
  std::function<int32_t(Proc)> onCallExport;  // default: S_OK
  bool workerReturns = true;  // a worker the program starts returns from its export, not ExitThread
  uint32_t lastError = 0;                      // what GetLastError says after a failed load
  std::map<uint32_t, CrashRecord> crashes;     // by thread identifier, until taken
  std::string currentDirectory = "C:\\work";
  std::string pathVariable;                   // PATH
  int32_t oleInitializeResult = 0;
  std::function<int32_t(const char*, char*, uint32_t, ProcessInformation*)> onCreateProcessA;
  std::function<int32_t(Handle, uint32_t*)> onGetExitCodeProcess;
  std::string windowsDirectory = "C:\\WINDOWS";
  std::string wow64Directory = "C:\\WINDOWS\\SysWOW64";  // "" on a 32-bit system
  // Files whose bytes CreateFileA/ReadFile serve, by exact path.
  std::map<std::string, std::string> fileBytes;
  std::function<uint32_t(Handle, uint32_t)> onWaitForSingleObject;
  std::function<int32_t(Handle, uint32_t*)> onGetExitCodeThread;
  std::function<uint32_t(uint32_t, char*, uint32_t)> onFormatMessageA;  // (code, buffer, size)
  std::function<uint32_t(const char*, uint32_t*)> onGetFileVersionInfoSizeA;
  std::function<int32_t(const char*, uint32_t, uint32_t, void*)> onGetFileVersionInfoA;
  std::function<int32_t(uint32_t, uint32_t, const char16_t*, int32_t, char*, int32_t,
                       const char*, int32_t*)>
      onWideCharToMultiByte;
  int32_t isUserAnAdmin = 0;
  std::function<int32_t()> onIsUserAnAdmin;
  // The launch's fields; the answer, and *process the process it started.
  std::function<int32_t(Hwnd, const char*, const char*, const char*, const char*, int, Handle*)>
      onShellExecuteEx;

  void GetNativeSystemInfo(SystemInfo* info) override {
    log_.Add("GetNativeSystemInfo");
    if (onGetNativeSystemInfo) return onGetNativeSystemInfo(info);
    info->wProcessorArchitecture = architecture;
  }
  uint32_t GetSystemDirectoryA(char* buffer, uint32_t size) override {
    log_.Add("GetSystemDirectoryA:" + std::to_string(size));
    if (onGetSystemDirectoryA) return onGetSystemDirectoryA(buffer, size);
    if (systemDirectory.size() + 1 > size) return static_cast<uint32_t>(systemDirectory.size() + 1);
    std::memcpy(buffer, systemDirectory.c_str(), systemDirectory.size() + 1);
    return static_cast<uint32_t>(systemDirectory.size());
  }
  uint32_t GetFullPathNameA(const char* fileName, uint32_t length, char* buffer,
                            char** filePart) override {
    log_.Add(std::string("GetFullPathNameA:") + fileName);
    if (onGetFullPathNameA) return onGetFullPathNameA(fileName, length, buffer, filePart);
    return 0;
  }
  uint32_t GetFileAttributesA(const char* fileName) override {
    log_.Add(std::string("GetFileAttributesA:") + fileName);
    if (onGetFileAttributesA) return onGetFileAttributesA(fileName);
    return kInvalidFileAttributes;
  }
  int32_t GetFileAttributesExA(const char* fileName, FileAttributeData* data) override {
    auto it = fileData.find(fileName);
    if (it == fileData.end()) return 0;
    *data = it->second;
    return 1;
  }
  Module LoadLibraryExA(const char* fileName, Handle file, uint32_t flags) override {
    log_.Add(std::string("LoadLibraryExA:") + fileName + "|" + std::to_string(flags));
    if (onLoadLibraryExA) return onLoadLibraryExA(fileName, file, flags);
    return nullptr;
  }
  uint32_t GetLastError() override { return lastError; }
  Proc GetProcAddress(Module module, const char* procName) override {
    log_.Add(std::string("GetProcAddress:") + procName);
    if (onGetProcAddress) return onGetProcAddress(module, procName);
    return nullptr;
  }
  Handle CreateThread(void* attributes, size_t stackSize, ThreadProc start, void* parameter,
                      uint32_t flags, uint32_t* threadId) override {
    log_.Add("CreateThread");
    const Handle thread =
        onCreateThread ? onCreateThread(attributes, stackSize, start, parameter, flags, threadId) : nullptr;
    if (thread && workerReturns && start == &RegistrationWorker) static_cast<WorkerJob*>(parameter)->returned = true;
    return thread;
  }
  int32_t CallExport(Proc entryPoint) override {
    log_.Add("CallExport");
    return onCallExport ? onCallExport(entryPoint) : 0;
  }
  int32_t OleInitialize(void*) override {
    log_.Add("OleInitialize");
    return oleInitializeResult;
  }
  void OleUninitialize() override { log_.Add("OleUninitialize"); }
  void InstallCrashFilter() override { log_.Add("InstallCrashFilter"); }
  int32_t TakeCrashRecord(uint32_t threadId, CrashRecord* record) override;
  int32_t CreateProcessA(const char* application, char* commandLine, uint32_t flags,
                         ProcessInformation* information) override {
    log_.Add(std::string("CreateProcessA:") + commandLine + "|" + std::to_string(flags));
    if (onCreateProcessA) return onCreateProcessA(application, commandLine, flags, information);
    return 0;
  }
  int32_t GetExitCodeProcess(Handle process, uint32_t* exitCode) override {
    log_.Add("GetExitCodeProcess");
    if (onGetExitCodeProcess) return onGetExitCodeProcess(process, exitCode);
    *exitCode = 0;
    return 1;
  }
  uint32_t GetWindowsDirectoryA(char* buffer, uint32_t size) override {
    return Answer(windowsDirectory, buffer, size);
  }
  uint32_t GetCurrentDirectoryA(uint32_t size, char* buffer) override {
    return Answer(currentDirectory, buffer, size);
  }
  uint32_t GetEnvironmentVariableA(const char* name, char* buffer, uint32_t size) override {
    return std::string(name) == "PATH" ? Answer(pathVariable, buffer, size) : 0;
  }
  uint32_t GetSystemWow64DirectoryA(char* buffer, uint32_t size) override {
    return Answer(wow64Directory, buffer, size);
  }
  Handle CreateFileA(const char* fileName, uint32_t, uint32_t, uint32_t, uint32_t) override;
  int32_t SetFilePointerEx(Handle file, int64_t distance, int64_t* newPosition, uint32_t) override;
  int32_t ReadFile(Handle file, void* buffer, uint32_t bytesToRead, uint32_t* bytesRead) override;
  uint32_t WaitForSingleObject(Handle handle, uint32_t milliseconds) override {
    log_.Add("WaitForSingleObject:" + std::to_string(milliseconds));
    if (onWaitForSingleObject) return onWaitForSingleObject(handle, milliseconds);
    return kWaitObject0;
  }
  int32_t GetExitCodeThread(Handle thread, uint32_t* exitCode) override {
    log_.Add("GetExitCodeThread");
    if (onGetExitCodeThread) return onGetExitCodeThread(thread, exitCode);
    *exitCode = 0;
    return 1;
  }
  // The manifest's writer and the type-library reader are tested under Wine;
  // here nothing is written, and no file has a type library.
  int32_t WriteFile(Handle, const void*, uint32_t, uint32_t*) override { return 0; }
  int32_t CopyFileA(const char*, const char*, int32_t) override { return 0; }
  int32_t MoveFileA(const char*, const char*) override { return 0; }
  int32_t MoveFileExA(const char*, const char*, uint32_t) override { return 0; }
  std::set<std::string> protectedFiles;  // what Windows File Protection guards, by full path
  int32_t SfcIsFileProtectedA(const char* fileName) override { return protectedFiles.count(fileName) ? 1 : 0; }
  int32_t DeleteFileA(const char* fileName) override { return extracted.erase(fileName) ? 1 : 0; }
  int32_t RemoveDirectoryA(const char*) override { return 0; }
  // No capture runs here: the scenarios under Wine prove it.
  int32_t TerminateProcess(Handle, uint32_t) override { return 0; }
  uint32_t GetModuleFileNameA(Module, char*, uint32_t) override { return 0; }
  int32_t RegCreateKeyExA(RegKey, const char*, uint32_t, RegKey*, uint32_t*) override { return 5; }
  int32_t CreateProcessInJobA(const char*, char*, uint32_t, ProcessInformation*, Handle*) override { return 0; }
  int32_t CoCreateGuid(std::string*) override { return static_cast<int32_t>(0x80004005u); }
  // No other process is there to open.
  Handle OpenProcess(uint32_t, int32_t, uint32_t) override { return nullptr; }
  uint32_t GetCurrentProcessId() override { return 4242; }
  int32_t GetFileInformationByHandle(Handle, FileIndex*) override { return 0; }
  int32_t RegOverridePredefKey(RegKey, RegKey) override { return 5; }
  int32_t RegDeleteTreeA(RegKey, const char*) override { return 5; }
  Handle FindResourceA(Module, const char*, const char*) override { return nullptr; }
  int32_t LoadTypeLibraryA(const char*, TypeLibraryAttributes*) override {
    return static_cast<int32_t>(0x80029C4Au);  // TYPE_E_CANTLOADLIBRARY
  }
  int32_t CloseHandle(Handle object) override {
    if (openFiles_.erase(object)) return 1;  // a file read as data: not a kernel object of interest
    log_.Add("CloseHandle");
    closedHandles.push_back(object);
    return 1;
  }
  int32_t FreeLibrary(Module module) override {
    log_.Add("FreeLibrary");
    freedModules.push_back(module);
    return 1;
  }
  uint32_t FormatMessageA(uint32_t flags, const void*, uint32_t messageId, uint32_t,
                          char* buffer, uint32_t size, void*) override {
    log_.Add("FormatMessageA:" + std::to_string(flags));
    if (onFormatMessageA) return onFormatMessageA(messageId, buffer, size);
    return 0;
  }
  uint32_t GetFileVersionInfoSizeA(const char* fileName, uint32_t* handle) override {
    log_.Add(std::string("GetFileVersionInfoSizeA:") + fileName);
    if (onGetFileVersionInfoSizeA) return onGetFileVersionInfoSizeA(fileName, handle);
    return 0;
  }
  int32_t GetFileVersionInfoA(const char* fileName, uint32_t handle, uint32_t length,
                              void* data) override {
    log_.Add(std::string("GetFileVersionInfoA:") + fileName + "|" + std::to_string(length));
    if (onGetFileVersionInfoA) return onGetFileVersionInfoA(fileName, handle, length, data);
    return 0;
  }
  // By default a code page in which only code points below 0x80 have a character.
  int32_t WideCharToMultiByte(uint32_t codePage, uint32_t flags, const char16_t* wideText,
                              int32_t wideLength, char* multiByteText, int32_t multiByteLength,
                              const char* defaultChar, int32_t* usedDefaultChar) override;
  int32_t IsUserAnAdmin() override {
    log_.Add("IsUserAnAdmin");
    if (onIsUserAnAdmin) return onIsUserAnAdmin();
    return isUserAnAdmin;
  }
  int32_t ShellExecuteExA(Hwnd owner, const char* verb, const char* file, const char* parameters,
                          const char* directory, int show, Handle* process) override {
    log_.Add("ShellExecuteExA");
    *process = nullptr;
    if (onShellExecuteEx) return onShellExecuteEx(owner, verb, file, parameters, directory, show, process);
    return 1;
  }

  // %NAME% -> text, for ExpandEnvironmentStringsA; names in upper case.
  std::map<std::string, std::string> environment;
  // GetLongPathNameA's answers by short path (lower case); any other path is not there.
  std::map<std::string, std::string> longPaths;

  int32_t RegOpenKeyExA(RegKey key, const char* subKey, uint32_t, uint32_t samDesired, RegKey* result) override {
    return OpenKeyAt(key, subKey, samDesired, result);
  }
  int32_t RegEnumKeyExA(RegKey key, uint32_t index, char* name, uint32_t* nameLength,
                        uint64_t* lastWriteTime) override {
    return EnumKeyAt(key, index, name, nameLength, lastWriteTime);
  }
  int32_t RegQueryValueExA(RegKey key, const char* valueName, uint32_t* type, uint8_t* data,
                           uint32_t* dataSize) override {
    return QueryValueAt(key, valueName, type, data, dataSize);
  }
  int32_t RegCloseKey(RegKey key) override { return CloseKey(key); }
  uint32_t ExpandEnvironmentStringsA(const char* source, char* destination, uint32_t size) override;
  uint32_t GetLongPathNameA(const char* shortPath, char* longPath, uint32_t size) override {
    auto it = longPaths.find(Lower(shortPath));
    if (it == longPaths.end()) return 0;
    return Answer(it->second, longPath, size);
  }
  uint64_t GetSystemTimeAsFileTime() override { return 0; }

  std::vector<Handle> closedHandles;
  std::vector<Module> freedModules;

 private:
  static uint32_t Answer(const std::string& folder, char* buffer, uint32_t size) {
    if (folder.empty()) return 0;
    if (folder.size() + 1 > size) return static_cast<uint32_t>(folder.size() + 1);
    std::memcpy(buffer, folder.c_str(), folder.size() + 1);
    return static_cast<uint32_t>(folder.size());
  }
  static std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
  }
  struct OpenBytes {
    const std::string* bytes;
    size_t position;
  };
  CallLog& log_;
  std::map<Handle, OpenBytes> openFiles_;
  intptr_t nextFile_ = 0;

 public:
  // Answers as WaitForSingleObject does, through the same hook.
  uint32_t WaitKeepingWindowAlive(Handle handle, uint32_t milliseconds) override {
    log_.Add("WaitKeepingWindowAlive:" + std::to_string(milliseconds));
    if (onWaitForSingleObject) return onWaitForSingleObject(handle, milliseconds);
    return kWaitObject0;
  }

  // A program tried: no process starts unless scripted, and no window is there.
  std::function<int32_t(const char*, char*, const char*, ProcessInformation*)> onCreateProcessInDirectoryA;
  int32_t CreateProcessInDirectoryA(const char* application, char* commandLine, const char* directory,
                                    ProcessInformation* information) override {
    log_.Add(std::string("CreateProcessInDirectoryA:") + commandLine + "|" + directory);
    if (onCreateProcessInDirectoryA) return onCreateProcessInDirectoryA(application, commandLine, directory, information);
    return 0;
  }
  int32_t EnumWindows(EnumWindowsCallback, intptr_t) override { return 1; }
  uint32_t GetWindowThreadProcessId(Hwnd, uint32_t* processId) override { return *processId = 0; }
  int32_t IsWindowVisible(Hwnd) override { return 0; }
  int32_t GetClassNameA(Hwnd, char*, int32_t) override { return 0; }
  uint32_t GetDlgItemTextA(Hwnd, int32_t, char*, int32_t) override { return 0; }
  // Under Wine: ntdll.dll has wine_get_version.
  bool wine = false;
  Proc GetLoadedModuleExport(const char* moduleName, const char* procName) override {
    const bool found = wine && Lower(moduleName) == "ntdll.dll" && std::string(procName) == "wine_get_version";
    return found ? reinterpret_cast<Proc>(&FakePlatform::Answer) : nullptr;
  }
  // Folders are listed, made and unpacked under Wine; here every folder is empty.
  Handle FindFirstFileA(const char*, FindData*) override { return InvalidHandleValue(); }
  int32_t FindNextFileA(Handle, FindData*) override { return 0; }
  int32_t FindClose(Handle) override { return 1; }
  uint32_t GetTempPathA(uint32_t size, char* buffer) override { return Answer("C:\\Temp\\", buffer, size); }
  int32_t CreateDirectoryA(const char*) override { return 0; }
  // Cabinets by path, their members in order; any other file is no cabinet.
  // A member's extraction fails when its index is in failMembers; a file
  // written stays in extracted (target -> member name) until deleted.
  std::map<std::string, std::vector<CabinetMember>> cabinets;
  std::vector<uint32_t> failMembers;
  std::map<std::string, std::string> extracted;
  int32_t ListCabinetA(const char* cabinet, std::vector<CabinetMember>* members) override;
  int32_t ExtractCabinetMemberA(const char* cabinet, uint32_t index, const char* target) override;
  int32_t RegisterTypeLibraryA(const char*) override { return static_cast<int32_t>(0x80029C4Au); }
  int32_t UnRegisterTypeLibraryA(const char*) override { return static_cast<int32_t>(0x80029C4Au); }
};

// A form wired to the fakes, with a fake view on every control.
struct FakeWindow {
  CallLog log;
  FakeToolkit toolkit{log};
  FakePlatform platform{log};
  frmRavlin form{toolkit, platform};
  std::map<int, std::unique_ptr<FakeView>> views;

  FakeWindow();
  FakeView& View(ControlId id) { return *views.at(id); }
};

}  // namespace ravlin
