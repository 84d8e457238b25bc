#include "platform/win32/NativeButton.h"
#include "platform/win32/NativeColouredButton.h"
#include "platform/win32/NativeFileList.h"
#include "platform/win32/NativeLabel.h"
#include "platform/win32/NativeScrollingLabel.h"
#include "platform/win32/NativeTextBox.h"

namespace ravlin {

std::unique_ptr<NativeControl> CreateNativeControl(const ControlSpec& spec, Control& control,
                                                   const ControlSite& site) {
  // A row's kind names its control's type (the layout tests check each row);
  // the program is built without run-time type information, which would add
  // several KB for nothing else.
  switch (spec.kind) {
    case ControlKind::Button:
      return std::make_unique<NativeButton>(spec, site, static_cast<CommandButton&>(control));
    case ControlKind::ColouredButton:
      return std::make_unique<NativeColouredButton>(spec, site, static_cast<CommandButton&>(control));
    case ControlKind::Label:
      return std::make_unique<NativeLabel>(spec, site);
    case ControlKind::ScrollingLabel:
      return std::make_unique<NativeScrollingLabel>(spec, site);
    case ControlKind::TextBox:
      return std::make_unique<NativeTextBox>(spec, site, static_cast<TextBox&>(control));
    case ControlKind::FileList:
      return std::make_unique<NativeFileList>(spec, site, static_cast<FileListBox&>(control));
  }
  return nullptr;
}

}  // namespace ravlin
