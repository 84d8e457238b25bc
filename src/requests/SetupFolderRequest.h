#pragma once
// What the user can ask of an old program's setup folder, for the window and
// the command line alike: its plan, the plan carried out, or undone.
#include <functional>
#include <optional>
#include <string>

#include "inspection/InstallRecord.h"
#include "inspection/ProgramState.h"
#include "registration/SetupInstall.h"
#include "registration/SetupRequest.h"

namespace ravlin {

// Whether spec names a setup folder (or its SETUP.LST); a blank name names none.
bool NamesSetupFolder(Platform& platform, const std::string& spec);

struct SetupConfirmation {
  PreparedSetup prepared;
  std::string record;                      // where the install's record is, or would be
  std::optional<InstallRecord> installed;  // undoing: what the record says was done; none without one
};

// The plan read before anything is done; undoing, the record read too.
// toFolder "" takes the list's own program folder.
SetupConfirmation ConfirmSetupFolder(Platform& platform, const std::string& spec, const std::string& toFolder,
                                     bool replaceNewer, Action action);

struct SetupProceeded {
  std::optional<SetupRun> run;          // installing
  std::optional<SetupUndo> undo;        // undoing
  std::optional<ProgramState> program;  // installed: the program read as any program
  bool worthTrying = false;             // installed, and the program is there to start
};

SetupProceeded ProceedWithSetup(Platform& platform, Registrar& registrar, const SetupPlan& plan, Action action,
                                const SetupProgress& onNext, const std::function<void()>& onBusy);

}  // namespace ravlin
