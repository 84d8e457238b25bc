#pragma once
#include "platform/win32/NativeControl.h"

namespace ravlin {

// A label: text on the window's face, in the label's fore colour once set.
class NativeLabel : public NativeControl {
 public:
  NativeLabel(const ControlSpec& spec, const ControlSite& site);
  void ShowForeColor(Color color) override;
  HBRUSH OnCtlColor(UINT message, HDC dc) override;

 private:
  bool hasForeColor_ = false;
  COLORREF foreColor_ = 0;
};

}  // namespace ravlin
