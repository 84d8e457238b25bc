#pragma once
// Writes <program>.exe.manifest beside a program for the controls it lists,
// placing a copy of each control found elsewhere beside it, and keeping
// whatever the user had there.
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace ravlin {

// One control a program needs, and where it was found ("" when nowhere).
struct NeededControl {
  std::string fileName;  // as the program lists it, "COMDLG32.OCX"
  std::string path;
};

struct LeftOutControl {
  enum class Reason {
    NotFound,
    NoTypeLibrary,
    Not32Bit,       // built for another processor; the program runs as x86
    DifferentCopy,  // another file of its name lies beside the program
    CopyFailed,
  };
  std::string fileName;
  Reason reason = Reason::NotFound;
  std::string path;  // where it was found; for DifferentCopy, the file beside the program
};

struct ManifestResult {
  enum class Kind {
    Written,
    NothingDescribed,  // no control could be described: nothing written
    OwnManifest,       // the program carries its own manifest, which wins over any file
    BackupInTheWay,    // a manifest and its kept copy are both there already
    WriteFailed,       // error: what the system said
  };
  Kind kind = Kind::NothingDescribed;
  std::string manifestPath;
  std::string keptAs;  // the earlier manifest's new name; "" when there was none
  uint32_t error = 0;
  std::vector<std::string> covered;  // file names the manifest lists
  std::vector<std::string> copied;   // the copies placed beside the program, in full
  std::vector<LeftOutControl> leftOut;
};

ManifestResult WriteManifest(Platform& platform, const std::string& programPath,
                             const std::vector<NeededControl>& controls);

}  // namespace ravlin
