#pragma once
#include <cctype>
#include <cstdint>
#include <string>

namespace ravlin {

// Blank means empty or spaces only; tabs and other white space are text.
inline bool IsBlank(const std::string& text) {
  return text.find_first_not_of(' ') == std::string::npos;
}

// A text the platform writes into a caller's buffer, answering with its length,
// or with the size it needs when the buffer is too small; "" when it fails.
template <typename Query>  // uint32_t(char* buffer, uint32_t size)
std::string BufferedText(Query query) {
  std::string buffer(260, '\0');
  uint32_t length = query(&buffer[0], static_cast<uint32_t>(buffer.size()));
  if (length >= buffer.size()) {  // too small: length is the size it needs
    buffer.assign(length, '\0');
    length = query(&buffer[0], static_cast<uint32_t>(buffer.size()));
    if (length >= buffer.size()) return {};
  }
  buffer.resize(length);
  return buffer;
}

// Characters, not bytes, of the program's UTF-8 text: continuation bytes do not count.
inline size_t CharacterCount(const std::string& text) {
  size_t count = 0;
  for (char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
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

// ASCII only: Windows folds more, but the names that matter here rarely leave ASCII.
inline std::string Lower(std::string text) {
  for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return text;
}

inline std::string Upper(std::string text) {
  for (char& ch : text) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return text;
}

// What follows a path's last separator; the whole text when it has none.
inline std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What precedes a path's last separator; "" when it has none.
inline std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace ravlin
