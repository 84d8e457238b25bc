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

ProgramRun RunProgram(Registrar& registrar, const ProgramState& program, Action action,
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
    onNext(++position, count, control.control.file);
    run.controls.back().outcome = registrar.Run(file, action, onBusy);
  }
  run.after = readAfter();
  return run;
}

}  // namespace ravlin
