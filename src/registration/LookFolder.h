#pragma once
// The folders a look in a folder takes a cabinet's controls into, under the
// user's temporary folder: each named after the program and this program's
// process, so that one left by a run that has ended can be told and removed.
#include <string>

#include "platform/Platform.h"

namespace ravlin {

// A new folder "ravlin-<program>-<process>-<number>"; "" when none can be made.
std::string NewLookFolder(Platform& platform, const std::string& program);

// The folder, the files in it and nothing else: a folder left with anything
// more stays. Never throws.
void RemoveLookFolder(Platform& platform, const std::string& folder);

// Removes the look folders whose process has ended. Never throws.
void RemoveEndedLookFolders(Platform& platform);

}  // namespace ravlin
