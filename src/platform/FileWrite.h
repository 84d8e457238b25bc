#pragma once
// Files written whole or not at all: made new under a name of this run's own
// beside where they go, then moved into place, never over a file there.
#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace ravlin {

// Beside path: a name of this run's own, so a move puts the file in place whole.
std::string TemporaryNameFor(Platform& platform, const std::string& path);

// A new file holding text; false, with *error when given, when it cannot be
// made or written whole, and then nothing of it is left.
bool WriteNewFile(Platform& platform, const std::string& path, const std::string& text, uint32_t* error);

// The temporary file moved to path, never over a file there; removed again when it cannot be.
bool MoveIntoPlace(Platform& platform, const std::string& temporary, const std::string& path, uint32_t* error);

// Both: text written under a temporary name, then moved into place.
bool WriteFileWhole(Platform& platform, const std::string& path, const std::string& text, uint32_t* error = nullptr);

}  // namespace ravlin
