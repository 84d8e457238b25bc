// The two-step confirmation of the general path: check, show, confirm or
// withdraw. No handler here traps errors.
#include "platform/ResumeNext.h"
#include "platform/Text.h"
#include "requests/NamedFile.h"
#include "texts/ProgramTexts.h"
#include "texts/Texts.h"
#include "window/frmRavlin.h"

namespace ravlin {
namespace {

// Only spaces count as blank: a text of tabs goes on to the existence test.
// What the name is comes from below; the window's own open test follows.
std::optional<NamedFile> CheckFileSpec(Toolkit& toolkit, Platform& platform, frmRavlin& form,
                                       const std::string& fileSpec) {
  if (IsBlank(fileSpec)) {
    toolkit.MsgBox(text::kNoFileYet);
    return std::nullopt;
  }
  NamedFile named = ReadNamedFile(platform, fileSpec);
  if (named.kind == NamedFile::Kind::NotFound || !form.IsFileThere(fileSpec)) {
    toolkit.MsgBox(text::kFileNotFound);
    return std::nullopt;
  }
  return named;
}

}  // namespace

std::string frmRavlin::FileSpec() const { return WithoutEnclosingQuotes(text1.Text()); }

// A setup folder, a program or a control file: true when the name was taken
// as a control file, to be confirmed as one.
bool frmRavlin::ConfirmNamed(const std::string& fileSpec, bool registering) {
  mProgram.reset();
  if (ConfirmSetup(fileSpec, registering)) return false;
  std::optional<NamedFile> named = CheckFileSpec(toolkit_, platform_, *this, fileSpec);
  if (!named) return false;
  switch (named->kind) {
    case NamedFile::Kind::Control: return true;
    case NamedFile::Kind::ProgramUnreadable: Tell(text::kControlsUnreadable); break;
    case NamedFile::Kind::ProgramWithoutControls: Tell(text::kNoControls); break;
    case NamedFile::Kind::Program: ConfirmProgram(std::move(*named->program), registering); break;
    case NamedFile::Kind::NotFound: break;  // told by the check
  }
  return false;
}

void frmRavlin::cmdRegister_Click() {
  const std::string fileSpec = FileSpec();
  if (!ConfirmNamed(fileSpec, true)) return;
  ShowFileInfo(fileSpec);
  ReadConfirmationState(fileSpec);
  mRegisterMode = true;
  RecordConfirmed(fileSpec);
  SetButtonMode(false);
}

// No file information for an unregistration; what is registered to it, though.
void frmRavlin::cmdUnregister_Click() {
  const std::string fileSpec = FileSpec();
  if (!ConfirmNamed(fileSpec, false)) return;
  ReadConfirmationState(fileSpec);
  mRegisterMode = false;
  RecordConfirmed(fileSpec);
  SetButtonMode(false);
}

// What Register read is acted on, never the text box as it is now. A state
// line still being read is not waited for; the read after a yes may use it.
void frmRavlin::cmdProceed_Click() {
  toolkit_.MsgBox(text::kConfirmation);
  // Another program may have changed the name while the question was up.
  if (!text1.Locked() || (!mProgram && !mSetup && ChangedSinceConfirmed())) return;
  // A change of the text while it runs leaves the run as it is. An error
  // here ends the program, so the flag needs no guard.
  mProceeding = true;
  if (mSetup) {
    ProceedSetup();
  } else if (mProgram) {
    ProceedProgram();
  } else if (mRegisterMode) {
    RegServerProc(mConfirmedSpec, "");
    lblPleaseVerify.SetVisible(false);
    lblFileInfo.SetCaption("");
  } else {
    RegServerProc(mConfirmedSpec, "u");
  }
  mProceeding = false;
  DropConfirmationState();
  lblState.SetCaption("");
  SetButtonMode(true);
}

void frmRavlin::RecordConfirmed(const std::string& fileSpec) {
  mConfirmedSpec = fileSpec;
  ResumeNext([&] { mConfirmedPath = CheckedPathOf(platform_, fileSpec); });
  mConfirmed = ReadFileIdentity(platform_, mConfirmedPath, mRegisterMode);
}

// The file confirmed must be as it was then: replaced or rewritten, nothing
// of it runs before the user has seen what it is now. One that is gone is
// left to the registrar, which says so.
bool frmRavlin::ChangedSinceConfirmed() {
  std::string path;
  ResumeNext([&] { path = CheckedPathOf(platform_, mConfirmedSpec); });
  if (path != mConfirmedPath || ReadFileIdentity(platform_, path, mRegisterMode) == mConfirmed) return false;
  toolkit_.MsgBox(text::kChangedSinceConfirmed);
  if (!text1.Locked()) return true;  // the name was changed while the box was up: nothing to show again
  if (mRegisterMode) ShowFileInfo(mConfirmedSpec);
  ReadConfirmationState(mConfirmedSpec);
  RecordConfirmed(mConfirmedSpec);
  return true;
}

// The steps of a change of the text, then the idle buttons.
void frmRavlin::cmdCancel_Click() {
  ClearShownInformation();
  SetButtonMode(true);
}

// Any change of the text, typed or set, makes the shown information stale.
// While confirming the box is locked and this program sets nothing in it:
// another program did, and the confirmation goes with what it showed. A
// run already under way is of what was confirmed, and ends as it would.
void frmRavlin::text1_Change() {
  ClearShownInformation();
  if (!text1.Locked() || mProceeding) return;
  SetButtonMode(true);
  lblState.SetCaption(text::kNameChangedWhileConfirming);
}

void frmRavlin::ClearShownInformation() {
  DropConfirmationState();
  lblPleaseVerify.SetVisible(false);
  lblFileInfo.SetCaption("");
  lblState.SetCaption("");
  lblControls.SetCaption("");
  mProgram.reset();
  mSetup.reset();
  RemoveLookFolders();
  mTryProgram.clear();
  cmdTryIt.SetVisible(false);
}

}  // namespace ravlin
