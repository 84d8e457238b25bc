#pragma once
// A folder the user names for the controls a program misses: its old setup
// folder, a CD, a download. A control is looked for there as a plain file,
// then inside each cabinet (.CAB) directly in it, in name order. This reads
// the folder; taking the files out is registration's (FolderTake.h).
#include <string>
#include <utility>
#include <vector>

#include "inspection/ProgramState.h"

namespace ravlin {

// A cabinet larger than this is not opened.
constexpr uint64_t kLargestCabinet = 100ull * 1024 * 1024;

struct SkippedCabinet {
  enum class Why { TooLarge, Damaged, NoTemporaryFolder };
  std::string name;  // "SETUP2.CAB"
  Why why = Why::Damaged;
};

struct FolderLook {
  std::string folder;
  size_t found = 0;  // controls found there that were missing before
  std::string temporary;  // the folder the cabinets' controls went into; "" when none was made
  std::vector<SkippedCabinet> skipped;
};

// What the folder holds for the controls still missing.
struct FolderContents {
  std::vector<std::pair<size_t, std::string>> files;  // a control's index in the program, its path there
  std::vector<FindData> cabinets;                     // directly in the folder, in name order
};

// A control found nowhere (its foundAt is empty) that is worth looking for:
// a name that is never a control has no path to find.
bool IsMissing(const ControlState& control);

// The bare names of the controls still missing, each once.
std::vector<std::string> StillMissing(const ProgramState& program);

// A failing platform call ends the search with its exception.
FolderContents SearchFolder(FilePlatform& files, const ProgramState& program, const std::string& folder);

}  // namespace ravlin
