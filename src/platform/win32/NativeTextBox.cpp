#include "platform/win32/NativeTextBox.h"

namespace ravlin {

NativeTextBox::NativeTextBox(const ControlSpec& spec, const ControlSite& site, TextBox& box)
    : NativeControl(spec, site), box_(box) {
  Create("EDIT", WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE);
  if (Window()) SendMessageA(Window(), EM_SETLIMITTEXT, 0, 0);
}

void NativeTextBox::ShowLocked(bool locked) {
  SendMessageA(Window(), EM_SETREADONLY, locked ? TRUE : FALSE, 0);
}

void NativeTextBox::OnCommand(UINT code) {
  if (code != EN_CHANGE || SettingText()) return;
  const std::string typed = WindowText(Window());
  Raise([this, &typed] { box_.TypedText(typed); });
}

// A read-only edit control asks for the static colours.
HBRUSH NativeTextBox::OnCtlColor(UINT message, HDC dc) {
  if (message != WM_CTLCOLORSTATIC) return nullptr;
  return Colours(dc, GetSysColor(COLOR_WINDOWTEXT), COLOR_WINDOW);
}

}  // namespace ravlin
