#pragma once
#include <string>

#include "platform/Toolkit.h"

namespace ravlin {

// Writes buffer and a line break to file, replacing what was there. Reports a
// failure itself; the result tells the caller whether the file was written.
bool Savetext(Toolkit& toolkit, const std::string& file, const std::string& buffer);

}  // namespace ravlin
