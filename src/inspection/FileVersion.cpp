#include "inspection/FileVersion.h"

#include <cstdint>

#include "platform/ResumeNext.h"

namespace ravlin {
namespace {

constexpr uint32_t kFixedSignature = 0xFEEF04BD;

uint32_t WordAt(const std::string& block, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(static_cast<unsigned char>(block[at + i])) << (8 * i);
  return value;
}

// The parts of a dotted version, four of them; what is not a number counts as 0.
void PartsOf(const std::string& version, uint32_t (&parts)[4]) {
  size_t at = 0;
  for (uint32_t& part : parts) {
    part = 0;
    while (at < version.size() && version[at] >= '0' && version[at] <= '9' && part < 100000000)
      part = part * 10 + static_cast<uint32_t>(version[at++] - '0');
    while (at < version.size() && version[at] != '.') ++at;
    if (at < version.size()) ++at;
  }
}

}  // namespace

std::string FixedFileVersion(const std::string& block) {
  // The fixed part follows the root key, on a 4-byte boundary: its signature, its own version, then the file's.
  for (size_t at = 0; at + 16 <= block.size(); at += 4) {
    if (WordAt(block, at) != kFixedSignature) continue;
    const uint32_t high = WordAt(block, at + 8), low = WordAt(block, at + 12);
    std::string version;
    for (const uint32_t part : {high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF})
      version += (version.empty() ? "" : ".") + std::to_string(part);
    return version;
  }
  return {};
}

std::string ReadFileVersion(Platform& platform, const std::string& path) {
  std::string version;
  ResumeNext([&] {
    uint32_t unusedHandle = 0;
    const uint32_t size = platform.GetFileVersionInfoSizeA(path.c_str(), &unusedHandle);
    if (size == 0) return;
    std::string block(size, '\0');
    if (platform.GetFileVersionInfoA(path.c_str(), 0, size, &block[0])) version = FixedFileVersion(block);
  });
  return version;
}

int CompareVersions(const std::string& a, const std::string& b) {
  uint32_t first[4], second[4];
  PartsOf(a, first);
  PartsOf(b, second);
  for (size_t i = 0; i < 4; ++i)
    if (first[i] != second[i]) return first[i] < second[i] ? -1 : 1;
  return 0;
}

}  // namespace ravlin
