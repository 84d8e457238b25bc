// A setup folder named in place of a control: its plan shown, then carried
// out by Proceed, or undone from its record by Unregister and Proceed.
#include "platform/ResumeNext.h"
#include "platform/Text.h"
#include "registration/ProgramRun.h"
#include "registration/SetupInstall.h"
#include "texts/ProgramTexts.h"
#include "texts/SetupTexts.h"
#include "window/frmRavlin.h"

namespace ravlin {

bool frmRavlin::ConfirmSetup(const std::string& fileSpec, bool registering) {
  mSetup.reset();
  if (IsBlank(fileSpec) || !NamesSetup(platform_, fileSpec)) return false;
  SetPointer(MousePointer::Hourglass);
  PreparedSetup prepared = PrepareSetup(platform_, fileSpec, "", false);
  SetPointer(MousePointer::Default);
  if (prepared.why != PreparedSetup::Why::Ready) {
    Tell(PreparedProblem(prepared));
    return true;
  }
  const std::string record = RecordPathFor(prepared.plan);
  if (registering) {
    lblControls.SetCaption(PlanText(prepared.plan));
  } else {
    const std::optional<InstallRecord> installed = ReadInstallRecordAt(platform_, record);
    if (!installed) {
      Tell(SetupUndoMessage(SetupUndo{false, record, {}}));
      return true;
    }
    lblControls.SetCaption(UndoPlanText(*installed, record));
  }
  mSetup = std::make_unique<PreparedSetup>(std::move(prepared));
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
  std::string message;
  if (mRegisterMode) {
    const SetupRun run = InstallSetup(platform_, registrar_, setup.plan, onNext, onBusy);
    message = SetupRunMessage(run);
    const std::optional<ProgramState> program = ReadProgramNamed(platform_, setup.plan.program);
    lblControls.SetCaption(program && !program->controls.empty() ? ControlList(*program) : std::string());
    if (run.why == SetupRun::Why::Installed && !CheckedPathOf(platform_, setup.plan.program).empty()) {
      message = WithTryItOffer(message);
      mTryProgram = setup.plan.program;
    }
  } else {
    message = SetupUndoMessage(UndoInstall(platform_, registrar_, RecordPathFor(setup.plan), onNext, onBusy));
    lblControls.SetCaption("");
  }
  SetPointer(MousePointer::Default);
  Tell(message);
}

}  // namespace ravlin
