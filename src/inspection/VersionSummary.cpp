#include "inspection/VersionSummary.h"

#include <stdexcept>

#include "inspection/VersionBlock.h"
#include "platform/ResumeNext.h"
#include "platform/Text.h"

namespace ravlin {
namespace {

std::string ToAnsi(Platform& platform, const std::u16string& wide) {
  if (wide.empty()) return {};
  const auto wideLength = static_cast<int32_t>(wide.size());
  const int32_t length =
      platform.WideCharToMultiByte(kCpAcp, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (length <= 0) throw std::runtime_error("Invalid procedure call or argument");
  std::string text(static_cast<size_t>(length), '\0');
  if (platform.WideCharToMultiByte(kCpAcp, 0, wide.data(), wideLength, &text[0], length, nullptr,
                                   nullptr) != length)
    throw std::runtime_error("Invalid procedure call or argument");
  return text;
}

std::string TextOf(Platform& platform, const VersionValue& value) {
  return value.wide ? ToAnsi(platform, value.wideText) : value.text;
}

}  // namespace

bool VersionSummary::HasVersion() const { return blockRead && !IsBlank(version); }

VersionSummary ReadVersionSummary(Platform& platform, const std::string& file) {
  VersionSummary summary;
  uint32_t size = 0;
  ResumeNext([&] {
    uint32_t unusedHandle = 0;
    size = platform.GetFileVersionInfoSizeA(file.c_str(), &unusedHandle);
  });
  if (size == 0) return summary;

  // The read is never handed a buffer shorter than the size it is told.
  std::string block;
  bool haveBuffer = false;
  ResumeNext([&] {
    block.assign(size, '\0');
    haveBuffer = true;
  });
  if (!haveBuffer) return summary;

  ResumeNext([&] { summary.readResult = platform.GetFileVersionInfoA(file.c_str(), 0, size, &block[0]); });
  if (!summary.readResult || *summary.readResult == 0) return summary;

  summary.blockRead = true;
  VersionStrings strings;
  ResumeNext([&] { strings = FindVersionStrings(block); });
  ResumeNext([&] {
    if (strings.company.found) summary.company = TextOf(platform, strings.company);
  });
  ResumeNext([&] {
    if (strings.version.found) summary.version = TextOf(platform, strings.version);
  });
  return summary;
}

}  // namespace ravlin
