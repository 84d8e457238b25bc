#include "requests/SetupFolderRequest.h"

#include "platform/Text.h"
#include "registration/ProgramRun.h"

namespace ravlin {

bool NamesSetupFolder(Platform& platform, const std::string& spec) {
  return !IsBlank(spec) && NamesSetup(platform, spec);
}

SetupConfirmation ConfirmSetupFolder(Platform& platform, const std::string& spec, const std::string& toFolder,
                                     bool replaceNewer, Action action) {
  SetupConfirmation confirmation;
  confirmation.prepared = PrepareSetup(platform, spec, toFolder, replaceNewer);
  if (confirmation.prepared.why != PreparedSetup::Why::Ready) return confirmation;
  confirmation.record = RecordPathFor(confirmation.prepared.plan);
  if (action == Action::Unregister) confirmation.installed = ReadInstallRecordAt(platform, confirmation.record);
  return confirmation;
}

SetupProceeded ProceedWithSetup(Platform& platform, Registrar& registrar, const SetupPlan& plan, Action action,
                                const SetupProgress& onNext, const std::function<void()>& onBusy) {
  SetupProceeded proceeded;
  if (action == Action::Unregister) {
    proceeded.undo = UndoInstall(platform, registrar, RecordPathFor(plan), onNext, onBusy);
    return proceeded;
  }
  proceeded.run = InstallSetup(platform, registrar, plan, onNext, onBusy);
  proceeded.program = ReadProgramNamed(platform, plan.program);
  proceeded.worthTrying =
      proceeded.run->why == SetupRun::Why::Installed && !CheckedPathOf(platform, plan.program).empty();
  return proceeded;
}

}  // namespace ravlin
