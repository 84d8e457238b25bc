#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "platform/Toolkit.h"
#include "platform/win32/Handles.h"
#include "window/Layout.h"

namespace ravlin {

class frmRavlin;
class NativeView;

// The Windows toolkit: the one window with native controls made from the
// layout table, message boxes, sequential files, the pointer and the loop.
class WinToolkit : public Toolkit {
 public:
  explicit WinToolkit(HINSTANCE instance);
  ~WinToolkit() override;
  WinToolkit(const WinToolkit&) = delete;
  WinToolkit& operator=(const WinToolkit&) = delete;

  // Creates the window and its controls, runs Form_Load before the window is
  // first shown, shows it and runs the message loop until the program ends.
  int Run(frmRavlin& form, int showCommand);

  void MsgBox(const std::string& prompt) override;
  void DoEvents() override;
  std::string AppPath() override;
  std::string Command() override;
  std::string Dir(const std::string& pathName) override;
  int FreeFile() override;
  void OpenForInput(int fileNumber, const std::string& path) override;
  void OpenForOutput(int fileNumber, const std::string& path) override;
  void Print(int fileNumber, const std::string& text) override;
  void Close(int fileNumber) override;
  void SetMousePointer(MousePointer pointer) override;
  void Unload() override;
  void End() override;

  // The standard description of a Windows error code.
  static std::string Describe(DWORD error);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR subclassId, DWORD_PTR data);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool CreateMainWindow();
  void CreateControls();
  void FocusFirstTabStop();
  bool PreTranslate(MSG& message);
  void OnCommand(WPARAM wParam, LPARAM lParam);
  NativeView* ViewOf(HWND control) const;
  template <typename Handler>
  void Dispatch(Handler&& handler);
  void Open(int fileNumber, const std::string& path, DWORD access, DWORD share, DWORD creation);

  HINSTANCE instance_;
  HWND window_ = nullptr;
  frmRavlin* form_ = nullptr;
  int dpiX_ = 96;
  int dpiY_ = 96;
  MousePointer pointer_ = MousePointer::Default;
  std::vector<std::unique_ptr<NativeView>> views_;
  std::map<const FontSpec*, UniqueFont> fonts_;
  std::map<int, UniqueHandle> files_;
  HWND savedFocus_ = nullptr;
};

}  // namespace ravlin
