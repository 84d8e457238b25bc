#pragma once
// Follows a library's imports, and theirs in turn, resolving each name as the
// loader does for a library loaded with the altered search path, to name the
// first DLL that is found nowhere.
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace ravlin {

// The chain from the library's own import down to the DLL found nowhere, in
// the loader's order; empty when every DLL is found. systemFolder is the system
// folder of the library's own architecture. A failing platform call ends the
// walk with its exception: the caller guards it.
std::vector<std::string> FindMissingDependency(Platform& platform, const std::string& libraryPath,
                                               const std::string& systemFolder);

}  // namespace ravlin
