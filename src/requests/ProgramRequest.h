#pragma once
// What the user can ask of a Visual Basic program's controls, for the window
// and the command line alike: register or unregister them all, or describe
// them in a manifest beside the program.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "inspection/FolderSearch.h"
#include "registration/ProgramRun.h"
#include "sidebyside/ManifestWriter.h"

namespace ravlin {

struct ProgramProceeded {
  ProgramRun run;
  std::vector<std::string> notCopied;  // files a look found elsewhere that could not be copied
  bool worthTrying = false;            // a control was registered: the program may now start
};

// Registering, what a look found elsewhere goes into the system folder first.
// program is as NoteConfirmed left it when it was confirmed.
ProgramProceeded ProceedWithProgram(Platform& platform, Registrar& registrar, ProgramState program, Action action,
                                    const std::function<void(size_t, size_t, const std::string&)>& onNext,
                                    const std::function<void()>& onBusy);

// The program's controls found nowhere looked for in folder, each one found
// noted as confirmed for the action. None when folder is no folder; a look
// that fails halfway keeps what it found until then.
std::optional<FolderLook> LookForMissingControls(Platform& platform, ProgramState& program, const std::string& folder,
                                                 Action action);

// Each control described as it registers itself, caught by a copy of this
// program, or from its type library; the manifest then written beside the program.
ManifestResult DescribeInManifest(Platform& platform, const ProgramState& program);

}  // namespace ravlin
