#pragma once
#include "platform/win32/NativeControl.h"

namespace ravlin {

// A one-line text box: what the user types reaches the text box object; a
// locked box is read-only and still looks like a text box.
class NativeTextBox : public NativeControl {
 public:
  NativeTextBox(const ControlSpec& spec, const ControlSite& site, TextBox& box);
  void ShowLocked(bool locked) override;
  void OnCommand(UINT code) override;
  HBRUSH OnCtlColor(UINT message, HDC dc) override;

 private:
  TextBox& box_;
};

}  // namespace ravlin
