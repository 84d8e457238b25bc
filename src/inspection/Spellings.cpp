#include "inspection/Spellings.h"

#include <cstdint>

namespace ravlin {
namespace {

// Windows-1252's 0x80 to 0x9F; its five unassigned bytes read as the same code point, as Windows reads them.
constexpr uint16_t kHigh1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

void Append(std::string& text, uint32_t code) {
  if (code < 0x80) {
    text += static_cast<char>(code);
  } else if (code < 0x800) {
    text += static_cast<char>(0xC0 | (code >> 6));
    text += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    text += static_cast<char>(0xE0 | (code >> 12));
    text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The length of the well-formed UTF-8 sequence at `at`; 0 when none starts
// there (a stray continuation, an overlong form, a surrogate, past U+10FFFF,
// or cut off by the end).
size_t SequenceAt(const std::string& text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  size_t length = 0;
  uint32_t code = 0, least = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, code = lead & 0x1Fu, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, code = lead & 0x0Fu, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, code = lead & 0x07u, least = 0x10000;
  } else {
    return 0;
  }
  if (text.size() - at < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(at + i) & 0x3Fu);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

std::vector<std::string> SpellingsOf(const std::string& name) {
  std::string utf8, western;
  bool wellFormed = true;
  for (size_t at = 0; at < name.size();) {
    const size_t length = SequenceAt(name, at);
    if (length == 0) {
      wellFormed = false;
      utf8 += kReplacement;
      ++at;
    } else {
      utf8.append(name, at, length);
      at += length;
    }
  }
  if (wellFormed) return {name};
  for (char c : name) {
    const unsigned char byte = static_cast<unsigned char>(c);
    Append(western, byte >= 0x80 && byte < 0xA0 ? kHigh1252[byte - 0x80] : byte);
  }
  return {utf8, western};
}

}  // namespace ravlin
