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
#include "platform/Toolkit.h"
#include "platform/Controls.h"
#include "window/frmRavlin.h"

namespace ravlin {

struct CallLog {
  std::vector<std::string> entries;
  void Add(std::string entry) { entries.push_back(std::move(entry)); }
  // Index of the first entry equal to entry, or -1.
  int Find(const std::string& entry) const {
    for (size_t i = 0; i < entries.size(); ++i)
      if (entries[i] == entry) return static_cast<int>(i);
    return -1;
  }
  // Index of the first entry starting with prefix, or -1.
  int FindPrefix(const std::string& prefix) const {
    for (size_t i = 0; i < entries.size(); ++i)
      if (entries[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
    return -1;
  }
  std::vector<std::string> WithPrefix(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& e : entries)
      if (e.rfind(prefix, 0) == 0) out.push_back(e);
    return out;
  }
  void Clear() { entries.clear(); }
};

class FakeToolkit : public Toolkit {
 public:
  explicit FakeToolkit(CallLog& log) : log_(log) {}

  // Scripted state.
  std::string appPath = "C:\\Program Files\\Ravlin";
  std::string command;
  // Ordinary files that Dir() finds, by full path (exact text).
  std::map<std::string, std::string> dirMatches;
  std::function<std::string(const std::string&)> onDir;  // overrides dirMatches
  std::function<void(const std::string&)> onMsgBox;      // runs while the box is "up"
  std::function<void()> onDoEvents;
  // Files: readable by path; a path in failOpen fails with that description.
  std::map<std::string, std::string> files;
  std::map<std::string, std::string> failOpen;
  std::function<void()> onFreeFile;  // may throw
  frmRavlin* form = nullptr;         // receives Form_Unload on Unload()

  std::vector<std::string> messages;
  MousePointer pointer = MousePointer::Default;
  bool ended = false;
  uint32_t timerInterval = 0;

  void MsgBox(const std::string& prompt) override {
    log_.Add("MsgBox:" + prompt);
    messages.push_back(prompt);
    if (onMsgBox) onMsgBox(prompt);
  }
  std::string chosenFolder;  // what the folder picker gives back
  std::string BrowseForFolder(const std::string&, const std::string& startFolder) override {
    log_.Add("BrowseForFolder:" + startFolder);
    return chosenFolder;
  }
  void DoEvents() override {
    log_.Add("DoEvents");
    if (onDoEvents) onDoEvents();
  }
  std::string AppPath() override { return appPath; }
  std::string Command() override { return command; }
  std::string Dir(const std::string& pathName) override {
    log_.Add("Dir:" + pathName);
    if (onDir) return onDir(pathName);
    auto it = dirMatches.find(pathName);
    return it == dirMatches.end() ? std::string() : it->second;
  }
  int FreeFile() override {
    if (onFreeFile) onFreeFile();
    return nextNumber_;
  }
  void OpenForInput(int fileNumber, const std::string& path) override {
    log_.Add("OpenForInput:" + path);
    Fail(path);
    if (!files.count(path)) throw ToolkitError("File not found");
    open_[fileNumber] = {path, false};
    ++nextNumber_;
  }
  void OpenForOutput(int fileNumber, const std::string& path) override {
    log_.Add("OpenForOutput:" + path);
    Fail(path);
    files[path].clear();
    open_[fileNumber] = {path, true};
    ++nextNumber_;
  }
  void Print(int fileNumber, const std::string& text) override {
    log_.Add("Print");
    auto it = open_.find(fileNumber);
    if (it == open_.end() || !it->second.output) throw ToolkitError("Bad file mode");
    files[it->second.path] += text + "\r\n";
  }
  void Close(int fileNumber) override {
    log_.Add("Close");
    open_.erase(fileNumber);
  }
  void SetMousePointer(MousePointer p) override {
    log_.Add(p == MousePointer::Hourglass ? "Pointer:Hourglass" : "Pointer:Default");
    pointer = p;
  }
  void SetTimer(uint32_t intervalMs, std::function<void()> onTimer) override {
    timerInterval = intervalMs;
    onTimer_ = std::move(onTimer);
  }
  // One tick of the timer, as the idle program gets it.
  void Tick() {
    if (onTimer_) onTimer_();
  }
  void Unload() override {
    log_.Add("Unload");
    if (form) {
      int16_t cancel = 0;
      form->Form_Unload(cancel);
    }
  }
  void End() override {
    log_.Add("End");
    ended = true;
  }

  size_t OpenFiles() const { return open_.size(); }

  // Files dropped on the window: the form hears of the first, as from the Windows toolkit.
  void DropFiles(const std::vector<std::string>& paths) {
    log_.Add("DropFiles");
    if (form && !paths.empty()) form->Form_DropFiles(paths.front());
  }

 private:
  void Fail(const std::string& path) {
    auto it = failOpen.find(path);
    if (it != failOpen.end()) throw ToolkitError(it->second);
  }
  struct OpenFile {
    std::string path;
    bool output;
  };
  CallLog& log_;
  std::function<void()> onTimer_;
  std::map<int, OpenFile> open_;
  int nextNumber_ = 1;
};

// A native control stand-in: logs what the form shows, holds a scripted
// file list and selection.
class FakeView : public ControlView {
 public:
  FakeView(CallLog& log, std::string name) : log_(log), name_(std::move(name)) {}
  void ShowText(const std::string& text) override { log_.Add(name_ + ".Text=" + text); }
  void ShowVisible(bool v) override { log_.Add(name_ + ".Visible=" + (v ? "1" : "0")); }
  void ShowLocked(bool v) override { log_.Add(name_ + ".Locked=" + (v ? "1" : "0")); }
  void ShowForeColor(Color c) override {
    log_.Add(name_ + ".ForeColor=" + std::to_string(c.red) + "," + std::to_string(c.green) +
             "," + std::to_string(c.blue));
  }
  void ShowDirectory(const std::string& dir, const std::string& pattern) override {
    log_.Add(name_ + ".Directory=" + dir + "|" + pattern);
    if (onDirectory) onDirectory(dir);
  }
  int SelectedIndex() const override { return selected; }
  std::string Entry(int index) const override {
    if (index < 0 || index >= static_cast<int>(entries.size()))
      throw ToolkitError("Invalid property array index");
    return entries[static_cast<size_t>(index)];
  }

  std::vector<std::string> entries;
  int selected = -1;
  std::function<void(const std::string&)> onDirectory;  // may throw

 private:
  CallLog& log_;
  std::string name_;
};

class FakePlatform : public Platform {
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
  int32_t TakeCrashRecord(uint32_t threadId, CrashRecord* record) override {
    auto it = crashes.find(threadId);
    if (it == crashes.end()) return 0;
    *record = it->second;
    crashes.erase(it);
    return 1;
  }
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
  Handle CreateFileA(const char* fileName, uint32_t, uint32_t, uint32_t, uint32_t) override {
    auto it = fileBytes.find(fileName);
    if (it == fileBytes.end()) return InvalidHandleValue();
    const Handle handle = reinterpret_cast<Handle>(static_cast<intptr_t>(0xF000 + nextFile_++));
    openFiles_[handle] = {&it->second, 0};
    return handle;
  }
  int32_t SetFilePointerEx(Handle file, int64_t distance, int64_t* newPosition, uint32_t) override {
    auto it = openFiles_.find(file);
    if (it == openFiles_.end() || distance < 0) return 0;
    it->second.position = static_cast<size_t>(distance);
    if (newPosition) *newPosition = distance;
    return 1;
  }
  int32_t ReadFile(Handle file, void* buffer, uint32_t bytesToRead, uint32_t* bytesRead) override {
    auto it = openFiles_.find(file);
    if (it == openFiles_.end()) return 0;
    const std::string& bytes = *it->second.bytes;
    const size_t from = std::min(it->second.position, bytes.size());
    const size_t count = std::min<size_t>(bytesToRead, bytes.size() - from);
    std::memcpy(buffer, bytes.data() + from, count);
    it->second.position = from + count;
    *bytesRead = static_cast<uint32_t>(count);
    return 1;
  }
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
                              const char* defaultChar, int32_t* usedDefaultChar) override {
    log_.Add("WideCharToMultiByte:" + std::to_string(codePage) + "|" + std::to_string(wideLength) +
             "|" + std::to_string(multiByteLength));
    if (onWideCharToMultiByte)
      return onWideCharToMultiByte(codePage, flags, wideText, wideLength, multiByteText,
                                   multiByteLength, defaultChar, usedDefaultChar);
    if (wideLength < 0) wideLength = static_cast<int32_t>(std::char_traits<char16_t>::length(wideText)) + 1;
    if (wideLength == 0 || multiByteLength < 0) return 0;
    if (multiByteLength == 0) return wideLength;
    if (multiByteLength < wideLength) return 0;
    bool usedDefault = false;
    for (int32_t i = 0; i < wideLength; ++i) {
      const char16_t unit = wideText[i];
      usedDefault = usedDefault || unit >= 0x80;
      multiByteText[i] = unit < 0x80 ? static_cast<char>(unit) : defaultChar ? *defaultChar : '?';
    }
    if (usedDefaultChar) *usedDefaultChar = usedDefault ? 1 : 0;
    return wideLength;
  }
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

  // --- The registry: one map of key path -> values per view ---------------------------
  // Paths start with the root's name ("HKCR\\CLSID\\{...}") and are matched
  // without regard to case; values are strings, keyed by name ("" the default).
  struct FakeValue {
    uint32_t type;
    std::string data;
  };
  using FakeKeyValues = std::map<std::string, FakeValue>;
  std::map<std::string, FakeKeyValues> registry32, registry64;
  // Whichever view a root key opened without a view flag reads.
  bool programIs64 = true;
  // %NAME% -> text, for ExpandEnvironmentStringsA; names in upper case.
  std::map<std::string, std::string> environment;
  // GetLongPathNameA's answers by short path (lower case); any other path is not there.
  std::map<std::string, std::string> longPaths;
  // Enumerating any key fails from this index on.
  uint32_t failEnumerationAt = UINT32_MAX;

  std::map<std::string, FakeKeyValues>& Registry(bool is64) { return is64 ? registry64 : registry32; }
  void SetRegistryValue(bool is64, const std::string& keyPath, const std::string& name,
                        const std::string& data, uint32_t type = kRegSz) {
    Registry(is64)[Lower(keyPath)][name] = {type, data};
  }
  size_t OpenRegistryKeys() const { return openKeys_.size(); }

  int32_t RegOpenKeyExA(RegKey key, const char* subKey, uint32_t, uint32_t samDesired,
                        RegKey* result) override {
    *result = nullptr;
    OpenKey parent;
    if (!ParentKey(key, samDesired, &parent)) return 6;  // ERROR_INVALID_HANDLE
    const std::string path = Lower(*subKey ? parent.path + "\\" + subKey : parent.path);
    if (!KeyExists(parent.is64, path)) return kErrorFileNotFound;
    *result = reinterpret_cast<RegKey>(static_cast<intptr_t>(0xE000 + nextKey_++));
    openKeys_[*result] = {parent.is64, path};
    return kErrorSuccess;
  }
  int32_t RegEnumKeyExA(RegKey key, uint32_t index, char* name, uint32_t* nameLength,
                        uint64_t* lastWriteTime) override {
    if (index >= failEnumerationAt) return 5;  // ERROR_ACCESS_DENIED
    auto it = openKeys_.find(key);
    if (it == openKeys_.end()) return 6;
    const std::vector<std::string> names = SubKeys(it->second.is64, it->second.path);
    if (index >= names.size()) return kErrorNoMoreItems;
    const std::string& found = names[index];
    if (found.size() + 1 > *nameLength) return kErrorMoreData;
    std::memcpy(name, found.c_str(), found.size() + 1);
    *nameLength = static_cast<uint32_t>(found.size());
    if (lastWriteTime) *lastWriteTime = 0;  // the fake's keys are all as old as its clock
    return kErrorSuccess;
  }
  int32_t RegQueryValueExA(RegKey key, const char* valueName, uint32_t* type, uint8_t* data,
                           uint32_t* dataSize) override {
    auto it = openKeys_.find(key);
    if (it == openKeys_.end()) return 6;
    const FakeKeyValues& values = Registry(it->second.is64)[it->second.path];
    auto value = values.find(valueName ? valueName : "");
    if (value == values.end()) return kErrorFileNotFound;
    const uint32_t needed = static_cast<uint32_t>(value->second.data.size() + 1);
    if (type) *type = value->second.type;
    if (!dataSize) return kErrorSuccess;
    const uint32_t room = *dataSize;
    *dataSize = needed;
    if (!data) return kErrorSuccess;
    if (room < needed) return kErrorMoreData;
    std::memcpy(data, value->second.data.c_str(), needed);
    return kErrorSuccess;
  }
  int32_t RegCloseKey(RegKey key) override { return openKeys_.erase(key) ? kErrorSuccess : 6; }
  uint32_t ExpandEnvironmentStringsA(const char* source, char* destination, uint32_t size) override {
    std::string text = source;
    for (size_t start = text.find('%'); start != std::string::npos; start = text.find('%', start)) {
      const size_t end = text.find('%', start + 1);
      if (end == std::string::npos) break;
      std::string name = text.substr(start + 1, end - start - 1);
      std::transform(name.begin(), name.end(), name.begin(),
                     [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
      auto it = environment.find(name);
      if (it == environment.end()) {
        start = end;  // the second % may open the next name
        continue;
      }
      text.replace(start, end - start + 1, it->second);
      start += it->second.size();
    }
    if (text.size() + 1 <= size) std::memcpy(destination, text.c_str(), text.size() + 1);
    return static_cast<uint32_t>(text.size() + 1);
  }
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
  struct OpenKey {
    bool is64;
    std::string path;
  };
  bool ParentKey(RegKey key, uint32_t samDesired, OpenKey* parent) {
    const bool viewGiven = (samDesired & (kKeyWow64_32Key | kKeyWow64_64Key)) != 0;
    const bool is64 = viewGiven ? (samDesired & kKeyWow64_64Key) != 0 : programIs64;
    const std::pair<RegKey, const char*> roots[] = {
        {HkeyClassesRoot(), "hkcr"}, {HkeyCurrentUser(), "hkcu"}, {HkeyLocalMachine(), "hklm"}};
    for (const auto& root : roots)
      if (key == root.first) {
        *parent = {is64, root.second};
        return true;
      }
    auto it = openKeys_.find(key);
    if (it == openKeys_.end()) return false;
    *parent = it->second;  // beneath an opened key nothing is redirected again
    return true;
  }
  bool KeyExists(bool is64, const std::string& path) {
    if (path.find('\\') == std::string::npos) return true;  // a root
    const auto& keys = Registry(is64);
    if (keys.count(path)) return true;
    auto below = keys.lower_bound(path + "\\");
    return below != keys.end() && below->first.rfind(path + "\\", 0) == 0;
  }
  // The names of a key's direct subkeys, in the map's order.
  std::vector<std::string> SubKeys(bool is64, const std::string& path) {
    std::vector<std::string> names;
    const std::string prefix = path + "\\";
    for (const auto& entry : Registry(is64)) {
      if (entry.first.rfind(prefix, 0) != 0) continue;
      const std::string rest = entry.first.substr(prefix.size());
      const std::string name = rest.substr(0, rest.find('\\'));
      if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    return names;
  }
  std::map<RegKey, OpenKey> openKeys_;
  intptr_t nextKey_ = 0;
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
  int32_t ListCabinetA(const char* cabinet, std::vector<CabinetMember>* members) override {
    auto it = cabinets.find(cabinet);
    if (it == cabinets.end()) return 0;
    *members = it->second;
    return 1;
  }
  int32_t ExtractCabinetMemberA(const char* cabinet, uint32_t index, const char* target) override {
    auto it = cabinets.find(cabinet);
    const bool fails = std::find(failMembers.begin(), failMembers.end(), index) != failMembers.end();
    if (it == cabinets.end() || index >= it->second.size() || fails || extracted.count(target)) return 0;
    extracted[target] = it->second[index].name;
    return 1;
  }
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
