#pragma once
// Identifiers of the native controls and the window class, shared with the
// UI driver that finds them from another process.
namespace ravlin {

constexpr char kWindowClass[] = "frmRavlin";

// Kept clear of IDOK (1) and IDCANCEL (2), so Enter and Escape click nothing.
enum ControlId : int {
  IdCommand2 = 101,
  IdCommand1Unregister = 102,  // Command1(0)
  IdCommand1Register = 103,    // Command1(1)
  IdFile1 = 104,
  IdCmdExit = 105,
  IdCmdUnregister = 106,
  IdCmdRegister = 107,
  IdText1 = 108,
  IdCmdProceed = 109,
  IdCmdCancel = 110,
  IdLabel2 = 111,
  IdLabel1Second = 112,  // Label1(1)
  IdLabel1First = 113,   // Label1(0)
  IdLblPleaseVerify = 114,
  IdLblFileInfo = 115,
  IdLblOCXFileSpec = 116,
  IdLblCompanionState = 117,
  IdLblState = 118,
  IdLblArguments = 119,
  IdLblControls = 120,
  IdCmdNoRegistry = 121,
  IdCmdTryIt = 122,
  IdCmdLookIn = 123,
  IdCmdReplace = 124,
};

}  // namespace ravlin
