#include "inspection/Szdd.h"

#include <cstdint>
#include <cstring>

namespace ravlin {
namespace {

constexpr char kMagic[] = "SZDD\x88\xF0\x27\x33";
constexpr size_t kMagicSize = 8;
constexpr size_t kHeaderSize = 14;  // magic, 'A', the name's last letter, the length
constexpr size_t kWindowSize = 4096;
constexpr size_t kFirstPosition = kWindowSize - 16;

unsigned ByteAt(const std::string& bytes, size_t at) { return static_cast<unsigned char>(bytes[at]); }

}  // namespace

bool UnpackSzdd(const std::string& packed, std::string& unpacked) {
  unpacked.clear();
  if (packed.size() < kHeaderSize || packed.compare(0, kMagicSize, kMagic, kMagicSize) != 0 || packed[8] != 'A')
    return false;
  const uint32_t length = ByteAt(packed, 10) | ByteAt(packed, 11) << 8 | ByteAt(packed, 12) << 16 |
                          static_cast<uint32_t>(ByteAt(packed, 13)) << 24;
  if (length > kLargestUnpacked) return false;
  unpacked.reserve(length);
  char window[kWindowSize];
  std::memset(window, ' ', sizeof window);
  size_t position = kFirstPosition, at = kHeaderSize;
  // Each flag byte says, low bit first, literal (1) or a match into the window (0).
  unsigned flags = 0, bits = 0;
  while (at < packed.size() && unpacked.size() < length) {
    if (bits == 0) {
      flags = ByteAt(packed, at++);
      bits = 8;
      continue;
    }
    const bool literal = (flags & 1) != 0;
    flags >>= 1;
    --bits;
    size_t from = 0, count = 1;
    if (!literal) {
      if (packed.size() - at < 2) return false;
      from = ByteAt(packed, at) | (ByteAt(packed, at + 1) & 0xF0) << 4;
      count = (ByteAt(packed, at + 1) & 0x0F) + 3;
      at += 2;
    }
    for (size_t i = 0; i < count; ++i) {
      const char c = literal ? packed[at++] : window[(from + i) % kWindowSize];
      unpacked += c;
      window[position] = c;
      position = (position + 1) % kWindowSize;
    }
  }
  return unpacked.size() == length && at == packed.size();
}

}  // namespace ravlin
