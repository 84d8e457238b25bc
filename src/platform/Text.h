#pragma once
#include <cstdint>
#include <string>

namespace ravlin {

// Blank means empty or spaces only; tabs and other white space are text.
inline bool IsBlank(const std::string& text) {
  return text.find_first_not_of(' ') == std::string::npos;
}

// Upper-case hexadecimal, at least `digits` long. Written out by hand: the
// runtime's formatted printing would add a sizeable part to the program.
inline std::string Hex(uint64_t value, size_t digits = 1) {
  std::string text;
  do {
    text.insert(text.begin(), "0123456789ABCDEF"[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  if (text.size() < digits) text.insert(0, digits - text.size(), '0');
  return text;
}

// Explorer's "Copy as path" puts a path in double quotes, and a double quote
// can never be part of a Windows file name: one enclosing pair is dropped.
inline std::string WithoutEnclosingQuotes(const std::string& text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
    return text.substr(1, text.size() - 2);
  return text;
}

}  // namespace ravlin
