#include "sidebyside/ProgramManifest.h"

#include "platform/ResumeNext.h"

namespace ravlin {
namespace {

// "" when the control is nowhere.
NeededControl Needed(const ControlState& state) {
  const bool registered = state.kind == ControlState::Kind::Registered;
  return {state.control.file, registered ? state.registeredTo : state.foundAt};
}

}  // namespace

ManifestResult WriteProgramManifest(Platform& platform, const ProgramState& program) {
  ManifestResult result;
  result.kind = ManifestResult::Kind::WriteFailed;
  result.manifestPath = program.program + ".manifest";
  ResumeNext([&] {
    std::vector<NeededControl> needed;
    for (const ControlState& control : program.controls) needed.push_back(Needed(control));
    result = WriteManifest(platform, program.program, needed);
  });
  return result;
}

}  // namespace ravlin
