#pragma once
// The shell's folder picker.
#include <windows.h>

#include <string>

namespace ravlin {

// Modal over owner, opened at startFolder (when it is there); "" when the user
// chose nothing or the choice is no folder of the file system, and when the
// shell's picker cannot be loaded.
std::string PickFolder(HWND owner, const std::string& prompt, const std::string& startFolder);

}  // namespace ravlin
