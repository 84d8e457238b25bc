// The two-step confirmation of the general path: check, show, confirm or
// withdraw. No handler here traps errors.
#include "platform/Text.h"
#include "texts/Texts.h"
#include "window/frmRavlin.h"

namespace ravlin {
namespace {

// Only spaces count as blank: a text of tabs goes on to the existence test.
bool CheckFileSpec(Toolkit& toolkit, frmRavlin& form, const std::string& fileSpec) {
  if (IsBlank(fileSpec)) {
    toolkit.MsgBox(text::kNoFileYet);
    return false;
  }
  if (!form.IsFileThere(fileSpec)) {
    toolkit.MsgBox(text::kFileNotFound);
    return false;
  }
  return true;
}

}  // namespace

std::string frmRavlin::FileSpec() const { return WithoutEnclosingQuotes(text1.Text()); }

void frmRavlin::cmdRegister_Click() {
  const std::string fileSpec = FileSpec();
  if (!CheckFileSpec(toolkit_, *this, fileSpec) || ConfirmProgram(fileSpec, true)) return;
  ShowFileInfo(fileSpec);
  lblState.SetCaption(RegistrationLine(fileSpec));
  mRegisterMode = true;
  SetButtonMode(false);
}

// No file information for an unregistration; what is registered to it, though.
void frmRavlin::cmdUnregister_Click() {
  const std::string fileSpec = FileSpec();
  if (!CheckFileSpec(toolkit_, *this, fileSpec) || ConfirmProgram(fileSpec, false)) return;
  lblState.SetCaption(RegistrationLine(fileSpec));
  mRegisterMode = false;
  SetButtonMode(false);
}

// The text is read again here and not checked again: a file picked while
// confirming is the one that is acted on.
void frmRavlin::cmdProceed_Click() {
  toolkit_.MsgBox(text::kConfirmation);
  if (mProgram) {
    ProceedProgram();
  } else if (mRegisterMode) {
    RegServerProc(FileSpec(), "");
    lblPleaseVerify.SetVisible(false);
    lblFileInfo.SetCaption("");
  } else {
    RegServerProc(FileSpec(), "u");
  }
  lblState.SetCaption("");
  SetButtonMode(true);
}

void frmRavlin::cmdCancel_Click() {
  text1_Change();
  SetButtonMode(true);
}

// Any change of the text, typed or set, makes the shown information stale.
void frmRavlin::text1_Change() {
  lblPleaseVerify.SetVisible(false);
  lblFileInfo.SetCaption("");
  lblState.SetCaption("");
  lblControls.SetCaption("");
  mProgram.reset();
}

}  // namespace ravlin
