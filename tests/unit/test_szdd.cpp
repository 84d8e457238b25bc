// compress.exe's packed files, unpacked as data: whole, or not at all.
#include <gtest/gtest.h>

#include <optional>

#include "inspection/Szdd.h"

namespace ravlin {
namespace {

// The header for a stated length, then the packed data.
std::string Packed(uint32_t length, const std::string& data, const std::string& magic = "SZDD\x88\xF0\x27\x33" "A") {
  std::string header = magic + '\0';
  for (int shift = 0; shift < 32; shift += 8) header += static_cast<char>(length >> shift & 0xFF);
  return header + data;
}

// As mscompress packs "hello hello hello hello world\n": a match of 16 that overlaps what it writes.
const std::string kHello = std::string("\xBFhello \xF0\xFDo\x7F world\n", 18);
const std::string kHelloText = "hello hello hello hello world\n";

TEST(Szdd, UnpacksWholeOrNotAtAll) {
  const struct {
    const char* what;
    std::string packed;
    std::optional<std::string> unpacked;
  } rows[] = {
      {"literals only, over two flag bytes", Packed(9, std::string("\xFF" "abcdefgh\x01i")), "abcdefghi"},
      {"matches, one overlapping its own output", Packed(30, kHello), kHelloText},
      {"a match into the window's first spaces", Packed(4, std::string("\x02\x00\x00x", 4)), "   x"},
      {"nothing packed", Packed(0, ""), ""},
      {"cut short inside a match", Packed(30, kHello.substr(0, 7)), std::nullopt},
      {"cut short inside the header", Packed(30, kHello).substr(0, 12), std::nullopt},
      {"another magic", Packed(30, kHello, "SZDD\x88\xF0\x27\x34" "A"), std::nullopt},
      {"another method than 'A'", Packed(30, kHello, "SZDD\x88\xF0\x27\x33" "B"), std::nullopt},
      {"states more than it holds", Packed(31, kHello), std::nullopt},
      {"holds more than it states", Packed(29, kHello), std::nullopt},
      {"states more than any setup packed", Packed(0xFFFFFFFFu, kHello), std::nullopt},
  };
  for (const auto& row : rows) {
    std::string unpacked;
    const bool whole = UnpackSzdd(row.packed, unpacked);
    EXPECT_EQ(whole ? std::optional<std::string>(unpacked) : std::nullopt, row.unpacked) << row.what;
  }
}

}  // namespace
}  // namespace ravlin
