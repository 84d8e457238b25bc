#include "window/frmRavlin.h"

#include "platform/Probes.h"
#include "platform/Savetext.h"
#include "window/Layout.h"

namespace ravlin {

frmRavlin::frmRavlin(Toolkit& toolkit, Platform& platform)
    : toolkit_(toolkit), platform_(platform), registrar_(platform), stateRead_(platform), companionRead_(platform), mScriptProcess(nullptr, HandleReleaser{&platform}) {
  for (const ControlSpec& spec : kLayout) {
    Control& control = ControlById(spec.id);
    if (spec.kind == ControlKind::Label || spec.kind == ControlKind::ScrollingLabel)
      static_cast<Label&>(control).SetCaption(spec.caption);
    if (spec.kind == ControlKind::Button || spec.kind == ControlKind::ColouredButton)
      static_cast<CommandButton&>(control).SetCaption(spec.caption);
  }

  for (int16_t i = 0; i < static_cast<int16_t>(Command1.size()); ++i)
    Command1[static_cast<size_t>(i)].onClick = [this, i] { Command1_Click(i); };
  Command2.onClick = [this] { Command2_Click(); };
  cmdExit.onClick = [this] { cmdExit_Click(); };
  cmdRegister.onClick = [this] { cmdRegister_Click(); };
  cmdUnregister.onClick = [this] { cmdUnregister_Click(); };
  cmdProceed.onClick = [this] { cmdProceed_Click(); };
  cmdCancel.onClick = [this] { cmdCancel_Click(); };
  cmdNoRegistry.onClick = [this] { cmdNoRegistry_Click(); };
  cmdTryIt.onClick = [this] { cmdTryIt_Click(); };
  cmdLookIn.onClick = [this] { cmdLookIn_Click(); };
  cmdReplace.onClick = [this] { cmdReplace_Click(); };
  text1.onChange = [this] { text1_Change(); };
  File1.onMouseDown = [this](int16_t button, int16_t shift, float x, float y) {
    File1_MouseDown(button, shift, x, y);
  };
}

FormLayout frmRavlin::Layout() const {
  return {kWindowClass, kTitle, kClientWidthTwips, kClientHeightTwips, kLayout.data(), kLayout.size()};
}

Control& frmRavlin::ControlById(int id) {
  switch (id) {
    case IdCommand2: return Command2;
    case IdCommand1Unregister: return Command1[0];
    case IdCommand1Register: return Command1[1];
    case IdFile1: return File1;
    case IdCmdExit: return cmdExit;
    case IdCmdUnregister: return cmdUnregister;
    case IdCmdRegister: return cmdRegister;
    case IdText1: return text1;
    case IdCmdProceed: return cmdProceed;
    case IdCmdCancel: return cmdCancel;
    case IdCmdNoRegistry: return cmdNoRegistry;
    case IdCmdTryIt: return cmdTryIt;
    case IdCmdLookIn: return cmdLookIn;
    case IdCmdReplace: return cmdReplace;
    case IdLabel2: return Label2;
    case IdLabel1Second: return Label1[1];
    case IdLabel1First: return Label1[0];
    case IdLblPleaseVerify: return lblPleaseVerify;
    case IdLblArguments: return lblArguments;
    case IdLblFileInfo: return lblFileInfo;
    case IdLblOCXFileSpec: return lblOCXFileSpec;
    case IdLblCompanionState: return lblCompanionState;
    case IdLblState: return lblState;
    case IdLblControls: return lblControls;
  }
  throw std::out_of_range("no control with that identifier");
}

bool frmRavlin::is64() { return ravlin::is64(platform_); }

std::string frmRavlin::GetSystemPath() { return ravlin::GetSystemPath(platform_); }

bool frmRavlin::IsFileThere(const std::string& inFileSpec) {
  return ravlin::IsFileThere(toolkit_, inFileSpec);
}

bool frmRavlin::Savetext(const std::string& file, const std::string& buffer) {
  return ravlin::Savetext(toolkit_, file, buffer);
}

}  // namespace ravlin
