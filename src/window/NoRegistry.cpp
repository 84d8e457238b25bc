// A program's controls described in a manifest beside it, so it finds them
// without the registry: the third choice while confirming a program.
#include "platform/ResumeNext.h"
#include "registration/Capture.h"
#include "sidebyside/ManifestWriter.h"
#include "texts/ManifestTexts.h"
#include "texts/ProgramTexts.h"
#include "window/frmRavlin.h"

namespace ravlin {
namespace {

// The file a class of the control is registered to where that file is there,
// otherwise where the control was found; "" when it is nowhere.
NeededControl Needed(const ControlState& state) {
  const bool registered = state.kind == ControlState::Kind::Registered;
  return {state.control.file, registered ? state.registeredTo : state.foundAt, state.control.classes};
}

}  // namespace

void frmRavlin::cmdNoRegistry_Click() {
  if (!mProgram) return;
  const ProgramState program = *mProgram;
  std::vector<NeededControl> needed;
  for (const ControlState& control : program.controls)
    if (control.kind != ControlState::Kind::NotAControl) needed.push_back(Needed(control));
  ManifestResult result;
  result.kind = ManifestResult::Kind::WriteFailed;
  result.manifestPath = program.program + ".manifest";
  SetPointer(MousePointer::Hourglass);
  ResumeNext([&] {
    const ManifestPlan plan = PlanManifest(platform_, program.program, needed);
    result = plan.result;
    std::vector<ControlDescription> descriptions;
    const std::string self = OwnProgramPath(platform_);
    for (const Placement& placement : plan.placements)
      descriptions.push_back(DescribeControl(platform_, self, placement.source));
    result = WriteManifest(platform_, plan, descriptions);
  });
  SetPointer(MousePointer::Default);
  Tell(WithTryItOffer(ManifestMessage(result)));
  ClearShownInformation();
  mTryProgram = program.program;
  SetButtonMode(true);
}

}  // namespace ravlin
