#pragma once
// Writes <program>.exe.manifest beside a program for the controls it lists,
// placing a copy of each control found elsewhere beside it, and keeping
// whatever the user had there. First planned (which file, where), then, once
// each planned file is described, written.
#include <string>
#include <vector>

#include "inspection/ControlDescription.h"
#include "inspection/ProgramControls.h"
#include "platform/Platform.h"

namespace ravlin {

// What a program's manifest adds to its name.
constexpr char kManifestSuffix[] = ".manifest";

// One control a program needs, and where it was found ("" when nowhere).
struct NeededControl {
  std::string fileName;  // as the program lists it, "COMDLG32.OCX"
  std::string path;      // may name a file of another name, where a registration points
  std::vector<ControlClass> classes;  // the classes of it the program uses
};

struct LeftOutControl {
  enum class Reason {
    NotFound,
    NoTypeLibrary,   // code: why its type library could not be read; nothing else described it
    Not32Bit,        // built for another processor; the program runs as x86
    DifferentCopy,   // another file of its name lies beside the program
    CopyFailed,      // code: why
    OtherName,       // only a registration names it, and that names a file of another name
    NotTheControl,   // it does not serve a class the program needs
    ClaimedAlready,  // a class or library it serves is declared for another file already
  };
  std::string fileName;
  Reason reason = Reason::NotFound;
  std::string path;  // where it was found; for DifferentCopy, the file beside the program
  uint32_t code = 0;
  std::string words;   // the system's words for code; "" when it has none
  std::string serves;  // NotTheControl: what it serves; ClaimedAlready: the class or library
  std::string needs;   // NotTheControl: the class the program needs; ClaimedAlready: the other file
};

// A control whose registration could not be caught, and whether its type library described it instead.
struct DescribedInstead {
  std::string fileName;
  ControlDescription::CaptureFailure why = ControlDescription::CaptureFailure::None;
  uint32_t code = 0;
  bool fromLibrary = false;
};

struct ManifestResult {
  enum class Kind {
    Written,
    NothingDescribed,  // no control could be described: nothing written
    OwnManifest,       // the program carries its own manifest, which wins over any file
    BackupInTheWay,    // a manifest and its kept copy are both there already
    WriteFailed,       // error, errorWords: what the system said; this run's copies removed again
  };
  Kind kind = Kind::NothingDescribed;
  std::string manifestPath;  // the program's long name and ".manifest"
  std::string keptAs;        // the earlier manifest's new name; "" when there was none
  uint32_t error = 0;
  std::string errorWords;
  std::vector<std::string> covered;     // file names the manifest lists
  std::vector<std::string> copied;      // the copies placed beside the program, in full
  std::vector<std::string> copiedFrom;  // where each came from, in full
  std::vector<std::string> removed;     // copies of a failed write, removed again
  std::vector<DescribedInstead> describedInstead;
  std::vector<LeftOutControl> leftOut;
};

// A control that is to lie beside the program once described.
struct Placement {
  std::string fileName;  // beside the program
  std::string source;    // where it is now, in full
  std::string target;
  std::vector<ControlClass> needs;
};

struct ManifestPlan {
  ManifestResult result;  // decided already: the manifest's path, or why nothing is written; those left out
  std::vector<Placement> placements;
};

ManifestPlan PlanManifest(Platform& platform, const std::string& programPath,
                          const std::vector<NeededControl>& controls);

// descriptions: one per placement, in the plan's order.
ManifestResult WriteManifest(Platform& platform, const ManifestPlan& plan,
                             const std::vector<ControlDescription>& descriptions);

// Of the described placements, those the manifest may declare: each serves
// every class the program needs of it, and no class or library of it is
// declared for another file already. The rest go to result's left-out list.
std::vector<size_t> Admitted(const std::vector<Placement>& placements,
                             const std::vector<ControlDescription>& descriptions, ManifestResult& result);

}  // namespace ravlin
