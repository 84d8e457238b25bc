#pragma once
// A look in a folder the user named (inspection/FolderSearch.h): the
// controls found there as plain files are noted, and from its cabinets only
// the files still missing are taken, into a new folder of the program's own
// under the user's temporary folder, so nothing is replaced.
#include <string>

#include "inspection/FolderSearch.h"

namespace ravlin {

// Looks for the controls of program that were found nowhere (their foundAt is
// empty) and notes each one found: foundAt, foundIn, and Found for one not
// registered. A failing platform call ends the look with its exception.
FolderLook LookInFolder(Platform& platform, ProgramState& program, const std::string& folder);

}  // namespace ravlin
