#pragma once
// Why the loader refused a file, from the loader's error and the file's own headers.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "inspection/PeImage.h"
#include "platform/Platform.h"

namespace ravlin {

struct LoadDiagnosis {
  enum class Kind {
    Unexplained,        // the loader gave no error and the headers said nothing wrong
    NotALibrary,        // no program library at all
    OtherProcessor,     // built for machine, which this program cannot load
    MissingDependency,  // chain: the DLLs down to the one found nowhere
    StartupRefused,     // the library's own start-up code (DllMain) said no
    LoaderError,        // error, with the system's description
    ExportsDamaged,     // the export table points outside the image; never loaded
  };
  Kind kind = Kind::Unexplained;
  uint16_t machine = 0;
  std::vector<std::string> chain;
  uint32_t error = 0;
  std::string description;
};

// headers: the file's own, none when it could not be read. The system folder
// is looked up only when a missing DLL is looked for. Never throws.
LoadDiagnosis DiagnoseLoadFailure(Platform& platform, const std::string& checkedPath,
                                  const std::optional<PeHeaders>& headers, uint32_t loadError,
                                  uint16_t programMachine);

}  // namespace ravlin
