#pragma once
#include "platform/win32/NativeControl.h"

namespace ravlin {

// A label whose lines may outnumber its height: a read-only edit control on
// the window's face, its lines wrapped, with a scroll bar while they do not fit.
class NativeScrollingLabel : public NativeControl {
 public:
  NativeScrollingLabel(const ControlSpec& spec, const ControlSite& site);
  void ShowText(const std::string& text) override;
  HBRUSH OnCtlColor(UINT message, HDC dc) override;

 private:
  // The scroll bar shown only while the lines, wrapped without it, do not fit.
  void FitScrollBar();
};

}  // namespace ravlin
