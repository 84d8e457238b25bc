#pragma once
#include <string>

namespace ravlin {

// Blank means empty or spaces only; tabs and other white space are text.
inline bool IsBlank(const std::string& text) {
  return text.find_first_not_of(' ') == std::string::npos;
}

// Explorer's "Copy as path" puts a path in double quotes, and a double quote
// can never be part of a Windows file name: one enclosing pair is dropped.
inline std::string WithoutEnclosingQuotes(const std::string& text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
    return text.substr(1, text.size() - 2);
  return text;
}

}  // namespace ravlin
