#pragma once
// What the user reads after asking for a manifest instead of registering.
#include <string>

#include "sidebyside/ManifestWriter.h"

namespace ravlin {

// The first line says what happened; the controls covered, copied and left
// out follow, each with why.
std::string ManifestMessage(const ManifestResult& result);

}  // namespace ravlin
