#pragma once
// A path as labels and messages show it: whole when it is short, otherwise
// with its middle left out, so a path of any length fits.
#include <string>

namespace ravlin {

// Past kShownPathCharacters characters: its root (drive or server and share),
// its first folder, "..." and its file name, "C:\Program Files\...\x.ocx".
constexpr size_t kShownPathCharacters = 120;
std::string ShownPath(const std::string& path);

}  // namespace ravlin
