// The window's side of a registration: it runs the registrar and presents the outcome.
#include "platform/ResumeNext.h"
#include "texts/Texts.h"
#include "window/frmRavlin.h"

namespace ravlin {

// The outcome, and a library it may hold, goes when the user has been told.
void frmRavlin::RegServerProc(std::string inDllFile, const std::string& inCommand) {
  const std::optional<Action> action = ActionFor(inCommand);
  if (!action) return Tell(text::kUnknownCommand);
  const Outcome outcome = registrar_.Run(inDllFile, *action, [this] { SetPointer(MousePointer::Hourglass); },
                                         [this] { return ConfirmedBasis(); });
  mConfirmedBasis.reset();
  Present(outcome);
}

// A confirmation's state line read at length is shown once read. The
// companion's state is read again once its script has ended. A control
// that outlived its time-out is told of when it ends, once the user is idle:
// never over a confirmation or another box.
void frmRavlin::Timer1_Timer() {
  if (stateRead_.Running()) TakeConfirmationState();
  if (companionRead_.Running()) TakeCompanionState();
  if (mScriptProcess) {
    bool ended = false;
    ResumeNext([&] { ended = platform_.WaitForSingleObject(mScriptProcess.get(), 0) == kWaitObject0; });
    if (ended) {
      mScriptProcess.reset();
      ReadCompanionState();
    }
  }
  if (text1.Locked()) return;
  registrar_.ReleaseEnded();
  for (const Outcome& outcome : registrar_.TakeLate()) Present(outcome);
}

void frmRavlin::Present(const Outcome& outcome) {
  // A late outcome comes when the window is idle, its pointer long back to default.
  if (!outcome.late) {
    if (outcome.waitResult) mApiResult = *outcome.waitResult;
    // A load failure comes before anything ran: the pointer was never made busy.
    if (outcome.kind != Outcome::Kind::LoadFailed) SetPointer(MousePointer::Default);
  }
  std::string message = text::kCompleted;
  ResumeNext([&] { message = MessageFor(outcome); });
  Tell(message);
}

void frmRavlin::Tell(const std::string& message) {
  ResumeNext([&] { toolkit_.MsgBox(message); });
}

void frmRavlin::SetPointer(MousePointer pointer) {
  ResumeNext([&] { toolkit_.SetMousePointer(pointer); });
}

}  // namespace ravlin
