#include "cli/ExitCodes.h"

namespace ravlin {

int ExitCodeOf(const Outcome& outcome) {
  switch (outcome.kind) {
    case Outcome::Kind::Completed: return kExitDone;
    case Outcome::Kind::HandedOver: return static_cast<int>(outcome.code);  // the tool's own, regsvr32's
    case Outcome::Kind::LoadFailed: return kExitCouldNotLoad;
    case Outcome::Kind::NoEntryPoint: return kExitNoExport;
    // Whatever the export came to, it did not say yes in time.
    case Outcome::Kind::ExportFailed:
    case Outcome::Kind::TimedOut:
    case Outcome::Kind::Crashed:
    case Outcome::Kind::EndedThread: break;
  }
  return kExitExportFailed;
}

int ExitCodeOf(const ProgramRun& run) {
  for (const ControlRun& control : run.controls) {
    if (control.outcome) {
      if (const int code = ExitCodeOf(*control.outcome)) return code;
    } else if (run.action == Action::Register && (control.before.kind == ControlState::Kind::NotFound ||
                                                  control.before.kind == ControlState::Kind::MissingCopy)) {
      return kExitCouldNotLoad;
    }
  }
  return kExitDone;
}

}  // namespace ravlin
