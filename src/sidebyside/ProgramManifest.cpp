#include "sidebyside/ProgramManifest.h"

#include "platform/ResumeNext.h"

namespace ravlin {
namespace {

// "" when the control is nowhere.
NeededControl Needed(const ControlState& state) {
  const bool registered = state.kind == ControlState::Kind::Registered;
  return {state.control.file, registered ? state.registeredTo : state.foundAt, state.control.classes};
}

}  // namespace

ManifestResult WriteProgramManifest(Platform& platform, const ProgramState& program,
                                    const DescribeControlAt& describe) {
  ManifestResult result;
  result.kind = ManifestResult::Kind::WriteFailed;
  result.manifestPath = program.program + kManifestSuffix;
  ResumeNext([&] {
    std::vector<NeededControl> needed;
    for (const ControlState& control : program.controls)
      if (control.kind != ControlState::Kind::NotAControl) needed.push_back(Needed(control));
    const ManifestPlan plan = PlanManifest(platform, program.program, needed);
    result = plan.result;
    std::vector<ControlDescription> descriptions;
    for (const Placement& placement : plan.placements) descriptions.push_back(describe(placement.source));
    result = WriteManifest(platform, plan, descriptions);
  });
  return result;
}

}  // namespace ravlin
