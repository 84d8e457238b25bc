#include "platform/win32/NativeButton.h"

namespace ravlin {

NativeButton::NativeButton(const ControlSpec& spec, const ControlSite& site, CommandButton& button)
    : NativeButton(spec, site, button, BS_PUSHBUTTON) {}

NativeButton::NativeButton(const ControlSpec& spec, const ControlSite& site, CommandButton& button,
                           DWORD buttonStyle)
    : NativeControl(spec, site), button_(button) {
  Create("BUTTON", WS_TABSTOP | buttonStyle);
}

void NativeButton::OnCommand(UINT code) {
  if (code == BN_CLICKED) Raise([this] { button_.Click(); });
}

}  // namespace ravlin
