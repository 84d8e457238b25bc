#pragma once
// A control found in a folder the user named is registered where a setup
// program would have put it: it is first copied into the system folder,
// never over a file there.
#include <string>
#include <vector>

#include "inspection/ProgramState.h"

namespace ravlin {

// Copies each such control that a registration acts on and points its
// foundAt at the copy. One that cannot be copied is passed over (foundAt
// emptied); its file is in the list returned. A copy that is not the file
// confirmed (its confirmed identity) is removed again, foundAt left as it was.
std::vector<std::string> CopyIntoSystemFolder(Platform& platform, ProgramState& program);

}  // namespace ravlin
