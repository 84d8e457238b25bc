#include <stdexcept>

#include "inspection/VersionBlock.h"
#include "platform/ResumeNext.h"
#include "platform/Text.h"
#include "window/frmRavlin.h"

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

// Every step is guarded: a failing step is skipped, and nothing reaches the caller.
bool frmRavlin::ReadVersionInfo(const std::string& inFile) {
  uint32_t size = 0;
  ResumeNext([&] {
    uint32_t unusedHandle = 0;
    size = platform_.GetFileVersionInfoSizeA(inFile.c_str(), &unusedHandle);
  });
  if (size == 0) return false;

  // The read is never handed a buffer shorter than the size it is told.
  std::string block;
  bool haveBuffer = false;
  ResumeNext([&] {
    block.assign(size, '\0');
    haveBuffer = true;
  });
  if (!haveBuffer) return false;

  int32_t readResult = 0;
  bool readRan = false;
  ResumeNext([&] {
    readResult = platform_.GetFileVersionInfoA(inFile.c_str(), 0, size, &block[0]);
    readRan = true;
  });
  if (!readRan) return false;
  mApiResult = readResult;
  if (readResult == 0) return false;

  mCompanyName.clear();
  mProductVersion.clear();
  VersionStrings strings;
  ResumeNext([&] { strings = FindVersionStrings(block); });
  ResumeNext([&] {
    if (strings.company.found) mCompanyName = TextOf(platform_, strings.company);
  });
  ResumeNext([&] {
    if (strings.version.found) mProductVersion = TextOf(platform_, strings.version);
  });
  return !IsBlank(mProductVersion);
}

}  // namespace ravlin
