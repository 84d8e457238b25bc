#include "registration/ProgramRun.h"

#include "platform/ResumeNext.h"

namespace ravlin {

bool Acts(Action action, const ProgramState& program, const ControlState& control) {
  if (action == Action::Register) return control.Registrable();
  return control.kind == ControlState::Kind::Registered && IsIn(control.registeredTo, program.folder);
}

std::string FileActedOn(Action action, const ControlState& control) {
  return action == Action::Register ? control.foundAt : control.registeredTo;
}

void NoteConfirmed(Platform& platform, ProgramState& program, Action action) {
  for (ControlState& control : program.controls)
    if (Acts(action, program, control))
      control.confirmed = ReadFileIdentity(platform, FileActedOn(action, control), action == Action::Register);
}

bool Registered(const ProgramRun& run) {
  for (const ControlRun& control : run.controls)
    if (control.outcome && (control.outcome->kind == Outcome::Kind::Completed ||
                            (control.outcome->kind == Outcome::Kind::HandedOver && control.outcome->code == 0)))
      return true;
  return false;
}

std::optional<ProgramState> ReadProgramNamed(Platform& platform, const std::string& fileSpec) {
  std::optional<ProgramState> program;
  ResumeNext([&] {
    const std::string path = CheckedPathOf(platform, fileSpec);
    if (!path.empty()) program = ReadProgramState(platform, path);
  });
  if (program && program->kind == ProgramControls::Kind::NotVisualBasic) program.reset();
  return program;
}

ProgramState ReadStateAgain(Platform& platform, const ProgramState& program) {
  ProgramState after = program;
  ResumeNext([&] { after = ReadProgramState(platform, program.program); });
  return after;
}

ProgramRun RunProgram(Platform& platform, Registrar& registrar, const ProgramState& program, Action action,
                      const std::function<void(size_t, size_t, const std::string&)>& onNext,
                      const std::function<void()>& onBusy,
                      const std::function<ProgramState()>& readAfter) {
  ProgramRun run;
  run.action = action;
  size_t count = 0;
  for (const ControlState& control : program.controls) count += Acts(action, program, control) ? 1 : 0;
  size_t position = 0;
  for (const ControlState& control : program.controls) {
    run.controls.push_back({control, std::nullopt});
    if (!Acts(action, program, control)) continue;
    const std::string file = FileActedOn(action, control);
    if (ReadFileIdentity(platform, file, action == Action::Register) != control.confirmed) {
      run.controls.back().changed = true;
      continue;
    }
    onNext(++position, count, control.control.file);
    run.controls.back().outcome = registrar.Run(file, action, onBusy);
  }
  run.after = readAfter();
  return run;
}

}  // namespace ravlin
