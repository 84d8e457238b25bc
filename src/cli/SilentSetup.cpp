#include "cli/SilentSetup.h"

#include "cli/ExitCodes.h"
#include "requests/SetupFolderRequest.h"
#include "texts/CommandLineTexts.h"
#include "texts/SetupTexts.h"

namespace ravlin {
namespace {

// Nobody watches a script's run: no progress shown, no busy pointer.
void NoBusyPointer() {}
void NoProgress(size_t, size_t, const std::string&) {}

}  // namespace

SetupReport RunSetupRequest(Platform& platform, const SilentRequest& request) {
  const Action action = request.mode == SilentRequest::Mode::Unregister ? Action::Unregister : Action::Register;
  const PreparedSetup prepared =
      ConfirmSetupFolder(platform, request.file, request.to, request.replace, action).prepared;
  if (prepared.why == PreparedSetup::Why::NotASetup) return {kExitCouldNotLoad, text::kNotASetup};
  if (prepared.why != PreparedSetup::Why::Ready)
    return {prepared.why == PreparedSetup::Why::NoList ? kExitCouldNotLoad : kExitSetupUnusable, PreparedProblem(prepared)};
  if (request.mode == SilentRequest::Mode::List) return {kExitDone, PlanText(prepared.plan)};
  Registrar registrar(platform);
  const SetupProceeded proceeded = ProceedWithSetup(platform, registrar, prepared.plan, action, NoProgress, NoBusyPointer);
  if (proceeded.undo) return {ExitCodeOf(*proceeded.undo), SetupUndoMessage(*proceeded.undo)};
  return {ExitCodeOf(*proceeded.run, prepared.plan), SetupRunMessage(*proceeded.run)};
}

}  // namespace ravlin
