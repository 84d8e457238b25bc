#include "platform/win32/NativeControl.h"

namespace ravlin {

NativeControl::NativeControl(const ControlSpec& spec, const ControlSite& site)
    : spec_(spec), site_(site), caption_(spec.caption) {}

NativeControl* NativeControl::FromWindow(HWND window) {
  return reinterpret_cast<NativeControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void NativeControl::Create(const char* className, DWORD style, DWORD exStyle) {
  constexpr DWORD kCommon = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  window_ = CreateWindowExA(
      exStyle, className, spec_.caption, kCommon | style, TwipsToPixels(spec_.left, site_.dpiX),
      TwipsToPixels(spec_.top, site_.dpiY), TwipsToPixels(spec_.width, site_.dpiX),
      TwipsToPixels(spec_.height, site_.dpiY), site_.parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec_.id)), site_.instance, nullptr);
  if (!window_) return;
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(site_.font), FALSE);
}

void NativeControl::ShowText(const std::string& text) {
  caption_ = text;
  settingText_ = true;
  SetWindowTextA(window_, text.c_str());
  settingText_ = false;
  UpdateShown();
}

void NativeControl::ShowVisible(bool visible) {
  visible_ = visible;
  UpdateShown();
}

// A raised control covers what lies under it only while it has a text to show.
void NativeControl::UpdateShown() {
  const bool shown = visible_ && !(spec_.raised && caption_.empty());
  ShowWindow(window_, shown ? SW_SHOWNA : SW_HIDE);
}

HBRUSH NativeControl::Colours(HDC dc, COLORREF text, int background) {
  SetTextColor(dc, text);
  SetBkColor(dc, GetSysColor(background));
  return GetSysColorBrush(background);
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(window, &text[0], length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

}  // namespace ravlin
