#pragma once
// Questions about the system the program runs on, over the platform and
// toolkit interfaces.
#include <string>

#include "platform/Platform.h"
#include "platform/Toolkit.h"

namespace ravlin {

// True on x64 and Itanium Windows, whatever the program's own architecture.
bool is64(Platform& platform);
// The system folder, or "" when it cannot be read.
std::string GetSystemPath(Platform& platform);
// True when the file opens for reading; it is closed again at once.
bool IsFileThere(Toolkit& toolkit, const std::string& inFileSpec);
// Whether the process with this identifier has ended, or never was. One that
// is there but cannot be asked has not.
bool ProcessHasEnded(Platform& platform, uint32_t processId);
// The system's text for a status code, without its trailing line break; "" if it has none.
std::string SystemDescription(Platform& platform, uint32_t code);

}  // namespace ravlin
