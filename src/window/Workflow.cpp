// The two-step confirmation of the general path: check, show, confirm or
// withdraw. No handler here traps errors.
#include "inspection/NeverControls.h"
#include "platform/ResumeNext.h"
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
  // A device opened as a file may wait for a port or a console: never opened.
  if (IsDeviceName(fileSpec) || !form.IsFileThere(fileSpec)) {
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
  ReadConfirmationState(fileSpec);
  mRegisterMode = true;
  RecordConfirmed(fileSpec);
  SetButtonMode(false);
}

// No file information for an unregistration; what is registered to it, though.
void frmRavlin::cmdUnregister_Click() {
  const std::string fileSpec = FileSpec();
  if (!CheckFileSpec(toolkit_, *this, fileSpec) || ConfirmProgram(fileSpec, false)) return;
  ReadConfirmationState(fileSpec);
  mRegisterMode = false;
  RecordConfirmed(fileSpec);
  SetButtonMode(false);
}

// The text is read again here and not checked again: a file picked while
// confirming is the one that is acted on. A state line still being read is
// not waited for; the read after a yes may use it.
void frmRavlin::cmdProceed_Click() {
  toolkit_.MsgBox(text::kConfirmation);
  if (mProgram) {
    ProceedProgram();
  } else if (ChangedSinceConfirmed()) {
    return;
  } else if (mRegisterMode) {
    RegServerProc(FileSpec(), "");
    lblPleaseVerify.SetVisible(false);
    lblFileInfo.SetCaption("");
  } else {
    RegServerProc(FileSpec(), "u");
  }
  DropConfirmationState();
  lblState.SetCaption("");
  SetButtonMode(true);
}

void frmRavlin::RecordConfirmed(const std::string& fileSpec) {
  ResumeNext([&] { mConfirmedPath = CheckedPathOf(platform_, fileSpec); });
  mConfirmed = ReadFileIdentity(platform_, mConfirmedPath, mRegisterMode);
}

// A file picked while confirming is another file, which is acted on as it is;
// the one confirmed must be as it was then: replaced or rewritten, nothing of
// it runs before the user has seen what it is now.
bool frmRavlin::ChangedSinceConfirmed() {
  std::string path;
  ResumeNext([&] { path = CheckedPathOf(platform_, FileSpec()); });
  if (path != mConfirmedPath || ReadFileIdentity(platform_, path, mRegisterMode) == mConfirmed) return false;
  toolkit_.MsgBox(text::kChangedSinceConfirmed);
  if (mRegisterMode) ShowFileInfo(FileSpec());
  ReadConfirmationState(FileSpec());
  RecordConfirmed(FileSpec());
  return true;
}

void frmRavlin::cmdCancel_Click() {
  text1_Change();
  SetButtonMode(true);
}

// Any change of the text, typed or set, makes the shown information stale.
void frmRavlin::text1_Change() {
  DropConfirmationState();
  lblPleaseVerify.SetVisible(false);
  lblFileInfo.SetCaption("");
  lblState.SetCaption("");
  lblControls.SetCaption("");
  mProgram.reset();
  mTryProgram.clear();
  cmdTryIt.SetVisible(false);
}

}  // namespace ravlin
