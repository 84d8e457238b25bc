#pragma once
#include "platform/win32/NativeControl.h"

namespace ravlin {

// A push button: a click raises the button's Click event.
class NativeButton : public NativeControl {
 public:
  NativeButton(const ControlSpec& spec, const ControlSite& site, CommandButton& button);
  void OnCommand(UINT code) override;

 protected:
  NativeButton(const ControlSpec& spec, const ControlSite& site, CommandButton& button,
               DWORD buttonStyle);

 private:
  CommandButton& button_;
};

}  // namespace ravlin
