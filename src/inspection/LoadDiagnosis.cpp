#include "inspection/LoadDiagnosis.h"

#include "inspection/MissingDependency.h"
#include "platform/Probes.h"
#include "platform/ResumeNext.h"

namespace ravlin {

LoadDiagnosis DiagnoseLoadFailure(Platform& platform, const std::string& checkedPath,
                                  const std::optional<PeHeaders>& headers, uint32_t loadError,
                                  uint16_t programMachine) {
  LoadDiagnosis diagnosis;
  if (headers) {
    if (!headers->isImage) {
      diagnosis.kind = LoadDiagnosis::Kind::NotALibrary;
      return diagnosis;
    }
    if (headers->machine != programMachine) {
      diagnosis.kind = LoadDiagnosis::Kind::OtherProcessor;
      diagnosis.machine = headers->machine;
      return diagnosis;
    }
    if (loadError == kErrorModNotFound) {
      ResumeNext([&] { diagnosis.chain = FindMissingDependency(platform, checkedPath, GetSystemPath(platform)); });
      if (!diagnosis.chain.empty()) {
        diagnosis.kind = LoadDiagnosis::Kind::MissingDependency;
        return diagnosis;
      }
    }
  }
  if (loadError == 0) return diagnosis;
  diagnosis.kind = loadError == kErrorDllInitFailed ? LoadDiagnosis::Kind::StartupRefused
                                                    : LoadDiagnosis::Kind::LoaderError;
  diagnosis.error = loadError;
  diagnosis.description = SystemDescription(platform, loadError);
  return diagnosis;
}

}  // namespace ravlin
