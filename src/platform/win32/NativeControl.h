#pragma once
// The native control behind one control object. Each kind of control is a
// class of its own that handles the notifications, colours and drawing its
// parent window hands back to it.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/Controls.h"
#include "platform/FormLayout.h"

namespace ravlin {

// Runs one of the form's event handlers; an error no handler traps is
// reported and ends the program.
class EventSink {
 public:
  virtual void Raise(const std::function<void()>& handler) = 0;

 protected:
  ~EventSink() = default;
};

// Where a native control is made.
struct ControlSite {
  HINSTANCE instance;
  HWND parent;
  int dpiX;
  int dpiY;
  HFONT font;
  EventSink& events;
};

class NativeControl : public ControlView {
 public:
  NativeControl(const NativeControl&) = delete;
  NativeControl& operator=(const NativeControl&) = delete;

  // The object behind a native control made here, or nullptr.
  static NativeControl* FromWindow(HWND window);

  // nullptr when the native control could not be created.
  HWND Window() const { return window_; }
  const ControlSpec& Spec() const { return spec_; }

  void ShowText(const std::string& text) override;
  void ShowVisible(bool visible) override;

  // WM_COMMAND from this control, with its notification code.
  virtual void OnCommand(UINT /*code*/) {}
  // WM_CTLCOLOR*: the background brush, or nullptr for the default colours.
  virtual HBRUSH OnCtlColor(UINT /*message*/, HDC /*dc*/) { return nullptr; }
  // WM_DRAWITEM: true when the control drew itself.
  virtual bool OnDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }

 protected:
  NativeControl(const ControlSpec& spec, const ControlSite& site);
  // Creates the native control at the row's place, in the site's font.
  void Create(const char* className, DWORD style, DWORD exStyle = 0);
  void Raise(const std::function<void()>& handler) const { site_.events.Raise(handler); }
  const ControlSite& Site() const { return site_; }
  // True while the program itself sets the text, so that is not taken as typing.
  bool SettingText() const { return settingText_; }
  static HBRUSH Colours(HDC dc, COLORREF text, int background);

 private:
  void UpdateShown();

  const ControlSpec& spec_;
  ControlSite site_;
  HWND window_ = nullptr;
  std::string caption_;
  bool visible_ = true;
  bool settingText_ = false;
};

// The native control for a layout row, of the class its kind names. Throws
// std::bad_cast when the object that is to raise the row's events is of
// another kind.
std::unique_ptr<NativeControl> CreateNativeControl(const ControlSpec& spec, Control& control,
                                                   const ControlSite& site);

std::string WindowText(HWND window);

}  // namespace ravlin
