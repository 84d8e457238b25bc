#pragma once
// The command line's front end: what the window does for a file or a program,
// without a window or a message box. It runs the same engine, prints the
// same messages, and ends with an exit code a script can read.
#include <optional>

#include "platform/Console.h"
#include "platform/Platform.h"

namespace ravlin {

// None when the command line asks for the window; otherwise what it asked
// for is done and told, and this is the program's exit code.
std::optional<int> RunSilentMode(Platform& platform, Console& console);

}  // namespace ravlin
