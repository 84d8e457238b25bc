#include "platform/win32/NativeScrollingLabel.h"

namespace ravlin {
namespace {

int LineTop(HWND edit, int line) {
  const LRESULT first = SendMessageA(edit, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
  return static_cast<short>(HIWORD(SendMessageA(edit, EM_POSFROMCHAR, static_cast<WPARAM>(first), 0)));
}

}  // namespace

NativeScrollingLabel::NativeScrollingLabel(const ControlSpec& spec, const ControlSite& site)
    : NativeControl(spec, site) {
  Create("EDIT", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL);
  if (!Window()) return;
  SendMessageA(Window(), EM_SETLIMITTEXT, 0, 0);
  FitScrollBar();
}

void NativeScrollingLabel::ShowText(const std::string& text) {
  NativeControl::ShowText(text);
  FitScrollBar();
}

// The edit control keeps a disabled bar it does not need; a needed one it shows itself again.
void NativeScrollingLabel::FitScrollBar() {
  ShowScrollBar(Window(), SB_VERT, FALSE);
  const int lines = static_cast<int>(SendMessageA(Window(), EM_GETLINECOUNT, 0, 0));
  RECT area{};
  SendMessageA(Window(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
  const bool fits = lines < 2 || lines * (LineTop(Window(), 1) - LineTop(Window(), 0)) <= area.bottom - area.top;
  ShowScrollBar(Window(), SB_VERT, !fits);
}

// A read-only edit control asks for the static colours: a label's.
HBRUSH NativeScrollingLabel::OnCtlColor(UINT message, HDC dc) {
  if (message != WM_CTLCOLORSTATIC) return nullptr;
  return Colours(dc, GetSysColor(COLOR_WINDOWTEXT), COLOR_BTNFACE);
}

}  // namespace ravlin
