#include "platform/win32/NativeLabel.h"

namespace ravlin {

NativeLabel::NativeLabel(const ControlSpec& spec, const ControlSite& site)
    : NativeControl(spec, site) {
  Create("STATIC", SS_LEFT | SS_NOPREFIX);
}

void NativeLabel::ShowForeColor(Color color) {
  foreColor_ = RGB(color.red, color.green, color.blue);
  hasForeColor_ = true;
  InvalidateRect(Window(), nullptr, TRUE);
}

HBRUSH NativeLabel::OnCtlColor(UINT message, HDC dc) {
  if (message != WM_CTLCOLORSTATIC) return nullptr;
  return Colours(dc, hasForeColor_ ? foreColor_ : GetSysColor(COLOR_WINDOWTEXT), COLOR_BTNFACE);
}

}  // namespace ravlin
