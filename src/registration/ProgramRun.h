#pragma once
// A program's controls registered or unregistered one after another, each
// exactly as a single file is: through the same registrar, its limit and its
// outcome. One control's failure does not stop the rest.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "inspection/ProgramState.h"
#include "registration/Registrar.h"

namespace ravlin {

struct ControlRun {
  ControlState before;
  std::optional<Outcome> outcome;  // none for a control the run passed over
  bool changed = false;            // passed over: its file is not what was confirmed
};

struct ProgramRun {
  Action action = Action::Register;
  std::vector<ControlRun> controls;  // in the program's order
  ProgramState after;                // read again once the last one ended
};

// Whether the run acts on the control: registering, one that is there and not
// registered to an existing file; unregistering, one registered to an existing
// file in the program's own folder (the system folder's are shared).
bool Acts(Action action, const ProgramState& program, const ControlState& control);

// The file the run hands to the registrar for the control.
std::string FileActedOn(Action action, const ControlState& control);

// Notes what each file the run would act on is now, for the run to compare.
void NoteConfirmed(Platform& platform, ProgramState& program, Action action);

// Whether anything was set up: a control registered.
bool Registered(const ProgramRun& run);

// The Visual Basic program fileSpec names, with its controls' state; none for
// a file that is no such program or cannot be read. Never throws.
std::optional<ProgramState> ReadProgramNamed(Platform& platform, const std::string& fileSpec);

// The program's state read again after a run; as it was when that read fails.
ProgramState ReadStateAgain(Platform& platform, const ProgramState& program);

// onNext(position, count, file) runs before each control acted on (position
// from 1); onBusy as Registrar::Run. readAfter reads the program's state again.
// A file that is not as NoteConfirmed found it is not run.
ProgramRun RunProgram(Platform& platform, Registrar& registrar, const ProgramState& program, Action action,
                      const std::function<void(size_t, size_t, const std::string&)>& onNext,
                      const std::function<void()>& onBusy,
                      const std::function<ProgramState()>& readAfter);

}  // namespace ravlin
