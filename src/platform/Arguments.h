#pragma once
// A command line split into its arguments, as Windows splits them.
#include <cstddef>
#include <string>

namespace ravlin {

// The next argument from at: blanks separate, double quotes group and go; a
// quote never closed is kept as typed, so that it still names something.
// False when there is none.
bool NextArgument(const std::string& commandLine, size_t& at, std::string& argument);

}  // namespace ravlin
