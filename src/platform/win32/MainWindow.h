#pragma once
// The one window: made from a form's layout, with its native controls, its
// window procedure and the message loop.
#include <windows.h>

#include <functional>
#include <utility>
#include <vector>
#include <memory>
#include <string>
#include <vector>

#include "platform/FormHost.h"
#include "platform/Toolkit.h"
#include "platform/win32/Handles.h"
#include "platform/win32/NativeControl.h"

namespace ravlin {

class MainWindow : public EventSink {
 public:
  explicit MainWindow(HINSTANCE instance);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and its controls, raises Form_Load before the window
  // is first shown, shows it and runs the message loop until the program ends.
  int Run(FormHost& form, int showCommand);
  // Runs the messages already queued, then returns.
  void DoEvents();
  void MsgBox(const std::string& prompt);
  HWND Handle() const { return window_; }
  void SetMousePointer(MousePointer pointer);
  // Started once the window exists; ticks only while no handler runs.
  void SetTimer(UINT intervalMs, std::function<void()> onTimer);
  // Raises Form_Unload; the window closes unless the form cancels.
  void Unload();
  void Raise(const std::function<void()>& handler) override;
  // Ends the program at once.
  static void End();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Pump(bool waitForQuit);
  bool PreTranslate(const MSG& message) const;
  bool CreateMainWindow();
  void CreateControls();
  HFONT FontFor(const FontSpec* spec);
  void FocusFirstTabStop();
  NativeControl* ControlOf(HWND child) const;

  HINSTANCE instance_;
  HWND window_ = nullptr;
  FormHost* form_ = nullptr;
  FormLayout layout_{};
  int dpiX_ = 96;
  int dpiY_ = 96;
  MousePointer pointer_ = MousePointer::Default;
  std::vector<std::pair<const FontSpec*, UniqueFont>> fonts_;  // the layout has a handful
  std::vector<std::unique_ptr<NativeControl>> controls_;
  HWND savedFocus_ = nullptr;
  int handlerDepth_ = 0;  // event handlers running, one inside another through DoEvents or a box
  UINT timerInterval_ = 0;
  std::function<void()> onTimer_;
};

}  // namespace ravlin
