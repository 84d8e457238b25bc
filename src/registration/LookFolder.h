#pragma once
// The folders that cabinets' members are taken into, under the user's
// temporary folder: for a look in a folder and for a setup folder. Each is
// named after what it is for and this program's process, so that one left by
// a run that has ended can be told and removed.
#include <string>

#include "platform/Platform.h"

namespace ravlin {

// A new folder "ravlin-<label>-<process>-<number>", label being a program's
// file name or "setup"; "" when none can be made.
std::string NewTemporaryFolder(Platform& platform, const std::string& label);

// The folder, the files in it and nothing else: a folder left with anything
// more stays. Never throws.
void RemoveLookFolder(Platform& platform, const std::string& folder);

// Removes the look folders whose process has ended. Never throws.
void RemoveEndedLookFolders(Platform& platform);

}  // namespace ravlin
