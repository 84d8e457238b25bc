#pragma once
// A file's own version number, as its version block's fixed part gives it:
// what a setup list's version column is compared with.
#include <string>

#include "platform/Platform.h"

namespace ravlin {

// "6.0.81.69" from a raw version block; "" when it has no fixed part.
std::string FixedFileVersion(const std::string& block);

// The file's version; "" when it has none or cannot be read. Never throws.
std::string ReadFileVersion(Platform& platform, const std::string& path);

// Below zero when a is older than b, zero when the same, above when newer.
// Missing parts count as 0: "1.9" is "1.9.0.0".
int CompareVersions(const std::string& a, const std::string& b);

}  // namespace ravlin
