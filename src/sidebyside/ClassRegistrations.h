#pragma once
// How the registry describes the classes registered to one control file.
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "sidebyside/Manifest.h"

namespace ravlin {

// The classes registered to the 32-bit file at filePath, each with its
// threading model, ProgIDs and MiscStatus.
std::vector<ClassRegistration> ReadClassRegistrations(Platform& platform, const std::string& filePath);

}  // namespace ravlin
