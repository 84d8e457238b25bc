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

int ExitCodeOf(const SetupRun& run, const SetupPlan& plan) {
  if (run.why != SetupRun::Why::Installed || !plan.problems.empty()) return kExitCouldNotLoad;
  for (const SetupStepDone& step : run.steps) {
    const PlannedFile::Why why = step.planned.why;
    if (why == PlannedFile::Why::NoSource || why == PlannedFile::Why::Compressed) return kExitCouldNotLoad;
    if (step.typeLibrary && *step.typeLibrary < 0) return kExitExportFailed;
    if (!step.outcome) continue;
    const bool program = step.planned.file.registration == SetupRegistration::ExeSelfRegister;
    if (const int code = program && step.outcome->kind == Outcome::Kind::ExportFailed ? kExitExportFailed
                                                                                    : ExitCodeOf(*step.outcome))
      return code;
  }
  return kExitDone;
}

int ExitCodeOf(const SetupUndo& undo) {
  if (!undo.recordRead) return kExitCouldNotLoad;
  for (const UndoneEntry& entry : undo.entries)
    if (!entry.done && entry.entry.kind != InstallRecord::Kind::Folder) return kExitExportFailed;
  return kExitDone;
}

}  // namespace ravlin
