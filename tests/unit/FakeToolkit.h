#pragma once
// The scripted toolkit and control views, and the log of every call that the
// fakes share, so tests can check the order of what happened across them.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "platform/Toolkit.h"
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

}  // namespace ravlin
