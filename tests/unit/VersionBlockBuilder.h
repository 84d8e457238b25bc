#pragma once
// Lays out version-information blocks byte by byte, as resource compilers
// write them: in 8-bit characters (the form of 16-bit executables) or in
// 16-bit little-endian ones (the form of Win32 files). Every entry starts on a
// 4-byte boundary and holds its length, its value's length, (16-bit form
// only) its type, its key ended by a NUL, padding, its value and its children.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ravlin {
namespace block {

enum class Chars { Eight, Sixteen };

struct Entry {
  std::string key;
  bool hasValue = false;
  bool text = false;   // a text value: written in the block's characters and ended by a NUL
  std::string value;   // the text without its NUL, or the raw bytes
  std::vector<Entry> children;
};

inline Entry String(std::string key, std::string value) {
  return Entry{std::move(key), true, true, std::move(value), {}};
}
inline Entry Binary(std::string key, std::string bytes) {
  return Entry{std::move(key), true, false, std::move(bytes), {}};
}
inline Entry Node(std::string key, std::vector<Entry> children) {
  return Entry{std::move(key), false, true, {}, std::move(children)};
}

inline void AppendWord(std::string& out, uint32_t word) {
  out.push_back(static_cast<char>(word & 0xFF));
  out.push_back(static_cast<char>((word >> 8) & 0xFF));
}
inline void AppendDword(std::string& out, uint32_t dword) {
  AppendWord(out, dword & 0xFFFF);
  AppendWord(out, dword >> 16);
}
inline void PadTo4(std::string& out) {
  while (out.size() % 4 != 0) out.push_back('\0');
}

// Each 8-bit character becomes the 16-bit character of the same number.
inline void AppendText(std::string& out, const std::string& text, Chars chars) {
  for (char c : text) {
    if (chars == Chars::Eight)
      out.push_back(c);
    else
      AppendWord(out, static_cast<unsigned char>(c));
  }
  if (chars == Chars::Eight)
    out.push_back('\0');
  else
    AppendWord(out, 0);
}

// The entry without the padding after it; a parent pads before each child.
inline std::string Layout(const Entry& entry, Chars chars) {
  std::string out;
  AppendWord(out, 0);  // the length, filled in below
  // Raw values count bytes; a text counts its characters and its NUL.
  uint32_t valueLength = 0;
  if (entry.hasValue) valueLength = static_cast<uint32_t>(entry.value.size() + (entry.text ? 1 : 0));
  AppendWord(out, valueLength);
  if (chars == Chars::Sixteen) AppendWord(out, entry.text ? 1 : 0);
  AppendText(out, entry.key, chars);
  PadTo4(out);
  if (entry.hasValue) {
    if (entry.text)
      AppendText(out, entry.value, chars);
    else
      out += entry.value;
  }
  for (const Entry& child : entry.children) {
    PadTo4(out);
    out += Layout(child, chars);
  }
  out[0] = static_cast<char>(out.size() & 0xFF);
  out[1] = static_cast<char>((out.size() >> 8) & 0xFF);
  return out;
}

// VS_FIXEDFILEINFO for version 4.2.1.7 of a DLL.
inline std::string FixedFileInfo() {
  std::string out;
  for (uint32_t dword : {0xFEEF04BDu, 0x00010000u, 0x00040002u, 0x00010007u, 0x00040002u,
                         0x00010007u, 0x3Fu, 0u, 0x40004u, 2u, 0u, 0u, 0u})
    AppendDword(out, dword);
  return out;
}

using Table = std::vector<std::pair<std::string, std::string>>;  // key, value

// A whole block: the root with its fixed part, one string table per entry of
// tables (English, then German, ...), and the translation list.
inline std::string VersionBlock(Chars chars, const std::vector<Table>& tables) {
  static const char* const kLanguages[] = {"040904b0", "040704b0", "040c04b0", "041004b0"};
  std::vector<Entry> stringTables;
  std::string translations;
  for (size_t i = 0; i < tables.size(); ++i) {
    std::vector<Entry> strings;
    for (const auto& [key, value] : tables[i]) strings.push_back(String(key, value));
    stringTables.push_back(Node(kLanguages[i % 4], strings));
    AppendWord(translations, std::stoul(std::string(kLanguages[i % 4]).substr(0, 4), nullptr, 16));
    AppendWord(translations, 0x04b0);
  }
  Entry root = Binary("VS_VERSION_INFO", FixedFileInfo());
  root.children = {Node("StringFileInfo", stringTables),
                   Node("VarFileInfo", {Binary("Translation", translations)})};
  return Layout(root, chars);
}

}  // namespace block
}  // namespace ravlin
