// A setup folder named in place of a control: its plan shown, then carried
// out by Proceed, or undone from its record by Unregister and Proceed.
#include "platform/ResumeNext.h"
#include "requests/SetupFolderRequest.h"
#include "texts/ProgramTexts.h"
#include "texts/SetupTexts.h"
#include "window/frmRavlin.h"

namespace ravlin {

bool frmRavlin::ConfirmSetup(const std::string& fileSpec, bool registering) {
  mSetup.reset();
  if (!NamesSetupFolder(platform_, fileSpec)) return false;
  SetPointer(MousePointer::Hourglass);
  SetupConfirmation confirmation =
      ConfirmSetupFolder(platform_, fileSpec, "", false, registering ? Action::Register : Action::Unregister);
  SetPointer(MousePointer::Default);
  if (confirmation.prepared.why != PreparedSetup::Why::Ready) {
    Tell(PreparedProblem(confirmation.prepared));
    return true;
  }
  if (registering) {
    lblControls.SetCaption(PlanText(confirmation.prepared.plan));
  } else if (!confirmation.installed) {
    Tell(SetupUndoMessage(SetupUndo{false, confirmation.record, {}}));
    return true;
  } else {
    lblControls.SetCaption(UndoPlanText(*confirmation.installed, confirmation.record));
  }
  mSetup = std::make_unique<PreparedSetup>(std::move(confirmation.prepared));
  mRegisterMode = registering;
  SetButtonMode(false);
  return true;
}

// The package's newer shared files replaced: the plan shown says so before Proceed. Cancel and
// Register again plans without.
void frmRavlin::cmdReplace_Click() {
  if (!mSetup) return;
  ChooseReplacing(mSetup->plan, true);
  lblControls.SetCaption(PlanText(mSetup->plan));
  cmdReplace.SetVisible(false);
}

// The installed program is then read as any program, so its controls' state shows.
void frmRavlin::ProceedSetup() {
  const PreparedSetup setup = std::move(*mSetup);
  mSetup.reset();
  const auto onNext = [this](size_t position, size_t count, const std::string& file) {
    ResumeNext([&] { lblState.SetCaption(ProgressText(position, count, file)); });
  };
  const auto onBusy = [this] { SetPointer(MousePointer::Hourglass); };
  const SetupProceeded proceeded = ProceedWithSetup(platform_, registrar_, setup.plan,
                                                    mRegisterMode ? Action::Register : Action::Unregister, onNext, onBusy);
  std::string message;
  if (proceeded.run) {
    message = SetupRunMessage(*proceeded.run);
    const std::optional<ProgramState>& program = proceeded.program;
    lblControls.SetCaption(program && !program->controls.empty() ? ControlList(*program) : std::string());
    if (proceeded.worthTrying) {
      message = WithTryItOffer(message);
      mTryProgram = setup.plan.program;
    }
  } else {
    message = SetupUndoMessage(*proceeded.undo);
    lblControls.SetCaption("");
  }
  SetPointer(MousePointer::Default);
  Tell(message);
}

}  // namespace ravlin
