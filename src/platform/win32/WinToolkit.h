#pragma once
// The Windows toolkit: the window and its loop, and the runtime services.
#include <windows.h>

#include <string>

#include "platform/FormHost.h"
#include "platform/Toolkit.h"
#include "platform/win32/FolderPicker.h"
#include "platform/win32/MainWindow.h"
#include "platform/win32/Runtime.h"

namespace ravlin {

class WinToolkit : public Toolkit {
 public:
  explicit WinToolkit(HINSTANCE instance) : window_(instance) {}

  // Shows the form and runs the message loop until the program ends.
  int Run(FormHost& form, int showCommand) { return window_.Run(form, showCommand); }

  void MsgBox(const std::string& prompt) override { window_.MsgBox(prompt); }
  std::string BrowseForFolder(const std::string& prompt, const std::string& startFolder) override {
    return PickFolder(window_.Handle(), prompt, startFolder);
  }
  void DoEvents() override { window_.DoEvents(); }
  std::string AppPath() override { return runtime_.AppPath(); }
  std::string Command() override { return runtime_.Command(); }
  std::string Dir(const std::string& pathName) override { return runtime_.Dir(pathName); }
  int FreeFile() override { return runtime_.FreeFile(); }
  void OpenForInput(int fileNumber, const std::string& path) override {
    runtime_.OpenForInput(fileNumber, path);
  }
  void OpenForOutput(int fileNumber, const std::string& path) override {
    runtime_.OpenForOutput(fileNumber, path);
  }
  void Print(int fileNumber, const std::string& text) override { runtime_.Print(fileNumber, text); }
  void Close(int fileNumber) override { runtime_.Close(fileNumber); }
  void SetMousePointer(MousePointer pointer) override { window_.SetMousePointer(pointer); }
  void SetTimer(uint32_t intervalMs, std::function<void()> onTimer) override {
    window_.SetTimer(intervalMs, std::move(onTimer));
  }
  void Unload() override { window_.Unload(); }
  void End() override { MainWindow::End(); }

  // The standard description of a Windows error code.
  static std::string Describe(DWORD error) { return DescribeError(error); }

 private:
  MainWindow window_;
  RuntimeServices runtime_;
};

}  // namespace ravlin
