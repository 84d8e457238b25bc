#include "cli/SilentSetup.h"

#include "cli/ExitCodes.h"
#include "inspection/InstallRecord.h"
#include "registration/SetupInstall.h"
#include "registration/SetupRequest.h"
#include "texts/CommandLineTexts.h"
#include "texts/SetupTexts.h"

namespace ravlin {
namespace {

// Nobody watches a script's run: no progress shown, no busy pointer.
void NoBusyPointer() {}
void NoProgress(size_t, size_t, const std::string&) {}

}  // namespace

SetupReport RunSetupRequest(Platform& platform, const SilentRequest& request) {
  const PreparedSetup prepared = PrepareSetup(platform, request.file, request.to, request.replace);
  if (prepared.why == PreparedSetup::Why::NotASetup) return {kExitCouldNotLoad, text::kNotASetup};
  if (prepared.why != PreparedSetup::Why::Ready)
    return {prepared.why == PreparedSetup::Why::NoList ? kExitCouldNotLoad : kExitSetupUnusable, PreparedProblem(prepared)};
  Registrar registrar(platform);
  switch (request.mode) {
    case SilentRequest::Mode::List: return {kExitDone, PlanText(prepared.plan)};
    case SilentRequest::Mode::Unregister: {
      const SetupUndo undo = UndoInstall(platform, registrar, RecordPathFor(prepared.plan), NoProgress, NoBusyPointer);
      return {ExitCodeOf(undo), SetupUndoMessage(undo)};
    }
    default: break;
  }
  const SetupRun run = InstallSetup(platform, registrar, prepared.plan, NoProgress, NoBusyPointer);
  return {ExitCodeOf(run, prepared.plan), SetupRunMessage(run)};
}

}  // namespace ravlin
