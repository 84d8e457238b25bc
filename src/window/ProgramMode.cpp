// A Visual Basic program named in place of a control: its controls, their
// state, and a run over them through the same registrar as a single file.
#include "platform/ResumeNext.h"
#include "requests/ProgramRequest.h"
#include "texts/Hints.h"
#include "texts/ProgramTexts.h"
#include "texts/Texts.h"
#include "window/frmRavlin.h"

namespace ravlin {

void frmRavlin::ConfirmProgram(ProgramState program, bool registering) {
  lblControls.SetCaption(ControlList(program));
  NoteConfirmed(platform_, program, registering ? Action::Register : Action::Unregister);
  mProgram = std::move(program);
  mRegisterMode = registering;
  SetButtonMode(false);
}

// The window shows which control runs (the registrar's wait keeps it
// painting); the message comes once all have run.
void frmRavlin::ProceedProgram() {
  const ProgramState program = *mProgram;
  mProgram.reset();
  const auto onNext = [this](size_t position, size_t count, const std::string& file) {
    ResumeNext([&] { lblState.SetCaption(ProgressText(position, count, file)); });
  };
  const ProgramProceeded proceeded =
      ProceedWithProgram(platform_, registrar_, program, mRegisterMode ? Action::Register : Action::Unregister, onNext,
                         [this] { SetPointer(MousePointer::Hourglass); });
  SetPointer(MousePointer::Default);
  ResumeNext([&] { lblControls.SetCaption(ControlList(proceeded.run.after)); });
  std::string message = text::kCompleted;
  ResumeNext([&] { message = ProgramRunMessage(proceeded.run) + NotCopiedLine(proceeded.notCopied, program.systemFolder); });
  RemoveLookFolders();
  if (proceeded.worthTrying) message = WithTryItOffer(message);
  mTryProgram = proceeded.worthTrying ? program.program : std::string();
  Tell(message);
}

}  // namespace ravlin
