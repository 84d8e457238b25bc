#include "inspection/Szdd.h"

#include <array>
#include <cstdint>

namespace ravlin {
namespace {

constexpr char kMagic[] = "SZDD\x88\xF0\x27\x33";
constexpr size_t kMagicSize = 8;
constexpr size_t kHeaderSize = 14;  // magic, 'A', the name's last letter, the length
constexpr size_t kWindowSize = 4096;
constexpr size_t kFirstPosition = kWindowSize - 16;

unsigned ByteAt(const std::string& bytes, size_t at) { return static_cast<unsigned char>(bytes[at]); }

}  // namespace

std::optional<std::string> UnpackSzdd(const std::string& packed) {
  if (packed.size() < kHeaderSize || packed.compare(0, kMagicSize, kMagic, kMagicSize) != 0 || packed[8] != 'A')
    return std::nullopt;
  const uint32_t length = ByteAt(packed, 10) | ByteAt(packed, 11) << 8 | ByteAt(packed, 12) << 16 |
                          static_cast<uint32_t>(ByteAt(packed, 13)) << 24;
  if (length > kLargestUnpacked) return std::nullopt;
  std::array<char, kWindowSize> window;
  window.fill(' ');
  size_t position = kFirstPosition, at = kHeaderSize;
  std::string unpacked;
  unpacked.reserve(length);
  const auto put = [&](char c) {
    unpacked.push_back(c);
    window[position] = c;
    position = (position + 1) % kWindowSize;
  };
  // Each flag byte says, low bit first, literal (1) or a match into the window (0).
  while (at < packed.size() && unpacked.size() < length) {
    const unsigned flags = ByteAt(packed, at++);
    for (unsigned bit = 0; bit < 8 && at < packed.size() && unpacked.size() < length; ++bit) {
      if (flags & (1u << bit)) {
        put(packed[at++]);
        continue;
      }
      if (packed.size() - at < 2) return std::nullopt;
      const unsigned low = ByteAt(packed, at), high = ByteAt(packed, at + 1);
      at += 2;
      const size_t from = low | (high & 0xF0) << 4, count = (high & 0x0F) + 3;
      for (size_t i = 0; i < count; ++i) put(window[(from + i) % kWindowSize]);
    }
  }
  if (unpacked.size() != length || at != packed.size()) return std::nullopt;
  return unpacked;
}

}  // namespace ravlin
