#pragma once
// The script that registers or unregisters the companion control with the
// platform's own tool, run elevated by the shell.
#include <string>

#include "registration/Outcome.h"

namespace ravlin {

// The folder 32-bit programs take their system files from, where the companion lies.
std::string CompanionFolder(bool sixtyFour);
std::string CompanionScriptName(Action action);
// Fixed lines: the script must not depend on what the system directory is called.
std::string CompanionScript(Action action, bool sixtyFour, const std::string& lineBreak);

}  // namespace ravlin
