#include "requests/ProgramRequest.h"

#include "inspection/PlatformFile.h"
#include "platform/ResumeNext.h"
#include "registration/Capture.h"
#include "registration/FolderTake.h"
#include "registration/SystemCopy.h"
#include "sidebyside/ProgramManifest.h"

namespace ravlin {

ProgramProceeded ProceedWithProgram(Platform& platform, Registrar& registrar, ProgramState program, Action action,
                                    const std::function<void(size_t, size_t, const std::string&)>& onNext,
                                    const std::function<void()>& onBusy) {
  ProgramProceeded proceeded;
  if (action == Action::Register) ResumeNext([&] { proceeded.notCopied = CopyIntoSystemFolder(platform, program); });
  const auto readAfter = [&] { return ReadStateAgain(platform, program); };
  proceeded.run = RunProgram(platform, registrar, program, action, onNext, onBusy, readAfter);
  // Only a control registered is worth trying.
  proceeded.worthTrying = action == Action::Register && Registered(proceeded.run);
  return proceeded;
}

std::optional<FolderLook> LookForMissingControls(Platform& platform, ProgramState& program, const std::string& folder,
                                                 Action action) {
  if (!IsFolder(platform, folder)) return std::nullopt;
  FolderLook look;
  look.folder = folder;
  ResumeNext([&] { look = LookInFolder(platform, program, folder); });
  NoteConfirmed(platform, program, action);
  return look;
}

ManifestResult DescribeInManifest(Platform& platform, const ProgramState& program) {
  const std::string self = OwnProgramPath(platform);
  return WriteProgramManifest(
      platform, program, [&](const std::string& control) { return DescribeControl(platform, self, control); });
}

}  // namespace ravlin
