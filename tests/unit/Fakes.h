#pragma once
// Scripted fakes of the toolkit and the platform. Every call is written to
// one shared log, so tests can check the order of what happened across both;
// every answer can be scripted through the on... hooks.
#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
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

  void MsgBox(const std::string& prompt) override {
    log_.Add("MsgBox:" + prompt);
    messages.push_back(prompt);
    if (onMsgBox) onMsgBox(prompt);
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
  std::function<Module(const char*, Handle, uint32_t)> onLoadLibraryExA;
  std::function<Proc(Module, const char*)> onGetProcAddress;
  std::function<Handle(void*, size_t, ThreadProc, void*, uint32_t, uint32_t*)> onCreateThread;
  std::function<int32_t(Proc)> onCallExport;  // default: S_OK
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
  std::function<intptr_t(Hwnd, const char*, const char*, const char*, const char*, int)>
      onShellExecuteA;

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
    if (onCreateThread) return onCreateThread(attributes, stackSize, start, parameter, flags, threadId);
    return nullptr;
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
  intptr_t ShellExecuteA(Hwnd owner, const char* operation, const char* file,
                         const char* parameters, const char* directory, int show) override {
    log_.Add("ShellExecuteA");
    if (onShellExecuteA) return onShellExecuteA(owner, operation, file, parameters, directory, show);
    return 42;
  }

  std::vector<Handle> closedHandles;
  std::vector<Module> freedModules;

 private:
  static uint32_t Answer(const std::string& folder, char* buffer, uint32_t size) {
    if (folder.empty()) return 0;
    if (folder.size() + 1 > size) return static_cast<uint32_t>(folder.size() + 1);
    std::memcpy(buffer, folder.c_str(), folder.size() + 1);
    return static_cast<uint32_t>(folder.size());
  }
  struct OpenBytes {
    const std::string* bytes;
    size_t position;
  };
  CallLog& log_;
  std::map<Handle, OpenBytes> openFiles_;
  intptr_t nextFile_ = 0;
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
