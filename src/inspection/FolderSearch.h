#pragma once
// A folder the user names for the controls a program misses: its old setup
// folder, a CD, a download. A control is looked for there as a plain file,
// then inside each cabinet (.CAB) directly in it, in name order; from a
// cabinet only the files still missing are taken, into a new folder of the
// program's own under the user's temporary folder, so nothing is replaced.
#include <string>
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

// Looks for the controls of program that were found nowhere (their foundAt is
// empty) and notes each one found: foundAt, foundIn, and Found for one not
// registered. A failing platform call ends the look with its exception.
FolderLook LookInFolder(Platform& platform, ProgramState& program, const std::string& folder);

}  // namespace ravlin
