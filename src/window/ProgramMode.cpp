// A Visual Basic program named in place of a control: its controls, their
// state, and a run over them through the same registrar as a single file.
#include "platform/ResumeNext.h"
#include "registration/ProgramRun.h"
#include "registration/SystemCopy.h"
#include "texts/Hints.h"
#include "texts/ProgramTexts.h"
#include "texts/Texts.h"
#include "window/frmRavlin.h"

namespace ravlin {

bool frmRavlin::ConfirmProgram(const std::string& fileSpec, bool registering) {
  mProgram.reset();
  std::optional<ProgramState> program = ReadProgramNamed(platform_, fileSpec);
  if (!program) return false;
  if (program->kind == ProgramControls::Kind::Unreadable) {
    Tell(text::kControlsUnreadable);
    return true;
  }
  if (program->controls.empty()) {
    Tell(text::kNoControls);
    return true;
  }
  lblControls.SetCaption(ControlList(*program));
  NoteConfirmed(platform_, *program, registering ? Action::Register : Action::Unregister);
  mProgram = std::move(program);
  mRegisterMode = registering;
  SetButtonMode(false);
  return true;
}

// The window shows which control runs (the registrar's wait keeps it
// painting); the message comes once all have run.
void frmRavlin::ProceedProgram() {
  ProgramState program = *mProgram;
  mProgram.reset();
  const Action action = mRegisterMode ? Action::Register : Action::Unregister;
  std::vector<std::string> notCopied;
  if (action == Action::Register) ResumeNext([&] { notCopied = CopyIntoSystemFolder(platform_, program); });
  const auto onNext = [this](size_t position, size_t count, const std::string& file) {
    ResumeNext([&] { lblState.SetCaption(ProgressText(position, count, file)); });
  };
  const auto readAfter = [this, &program] { return ReadStateAgain(platform_, program); };
  const ProgramRun run =
      RunProgram(platform_, registrar_, program, action, onNext, [this] { SetPointer(MousePointer::Hourglass); }, readAfter);
  SetPointer(MousePointer::Default);
  ResumeNext([&] { lblControls.SetCaption(ControlList(run.after)); });
  std::string message = text::kCompleted;
  ResumeNext([&] { message = ProgramRunMessage(run) + NotCopiedLine(notCopied, program.systemFolder); });
  RemoveLookFolders();
  // Only a control registered is worth trying.
  const bool changed = action == Action::Register && Registered(run);
  if (changed) message = WithTryItOffer(message);
  mTryProgram = changed ? program.program : std::string();
  Tell(message);
}

}  // namespace ravlin
