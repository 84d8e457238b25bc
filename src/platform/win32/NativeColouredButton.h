#pragma once
#include "platform/win32/NativeButton.h"

namespace ravlin {

// A button of the graphical style: it draws its own face in the
// info-background colour and clicks like any other.
class NativeColouredButton : public NativeButton {
 public:
  NativeColouredButton(const ControlSpec& spec, const ControlSite& site, CommandButton& button);
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
};

}  // namespace ravlin
