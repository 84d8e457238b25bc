#pragma once
#include <string>

namespace ravlin {

// Blank means empty or spaces only; tabs and other white space are text.
inline bool IsBlank(const std::string& text) {
  return text.find_first_not_of(' ') == std::string::npos;
}

}  // namespace ravlin
