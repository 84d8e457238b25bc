#include "inspection/VersionBlock.h"

#include <cstring>

namespace ravlin {
namespace {

constexpr char kRootKey[] = "VS_VERSION_INFO";
constexpr size_t kNarrowRootOffset = 4;
constexpr size_t kWideRootOffset = 6;

// In the 8-bit form a value starts at the key's first character plus the
// key's length plus its NUL, rounded up to four.
struct Key {
  const char* name;
  size_t narrowDistance;
};
constexpr Key kCompanyName{"CompanyName", 12};
constexpr Key kProductVersion{"ProductVersion", 16};

char16_t WideUnitAt(const std::string& block, size_t offset) {
  const auto low = static_cast<unsigned char>(block[offset]);
  const auto high = static_cast<unsigned char>(block[offset + 1]);
  return static_cast<char16_t>(low | (high << 8));
}

bool HasNarrowText(const std::string& block, size_t offset, const char* text) {
  return block.compare(offset, std::strlen(text), text) == 0;
}

bool HasWideText(const std::string& block, size_t offset, const char* text) {
  const size_t length = std::strlen(text);
  if (offset > block.size() || block.size() - offset < 2 * length) return false;
  for (size_t i = 0; i < length; ++i)
    if (WideUnitAt(block, offset + 2 * i) != static_cast<unsigned char>(text[i])) return false;
  return true;
}

// 16-bit characters stand on even offsets from the start of the block.
size_t FindWideText(const std::string& block, const char* text) {
  for (size_t offset = 0; offset + 1 < block.size(); offset += 2)
    if (HasWideText(block, offset, text)) return offset;
  return std::string::npos;
}

std::string NarrowValueAt(const std::string& block, size_t start) {
  if (start >= block.size()) return {};
  const size_t end = block.find('\0', start);
  return block.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::u16string WideValueAt(const std::string& block, size_t start) {
  std::u16string value;
  for (size_t offset = start; offset < block.size() && block.size() - offset >= 2; offset += 2) {
    const char16_t unit = WideUnitAt(block, offset);
    if (unit == 0) break;
    value.push_back(unit);
  }
  return value;
}

VersionValue FindNarrowValue(const std::string& block, const Key& key) {
  VersionValue value;
  const size_t position = block.find(key.name);
  if (position == std::string::npos) return value;
  value.found = true;
  value.text = NarrowValueAt(block, position + key.narrowDistance);
  return value;
}

VersionValue FindWideValue(const std::string& block, const Key& key) {
  VersionValue value;
  const size_t position = FindWideText(block, key.name);
  if (position == std::string::npos) return value;
  // The value follows the key's terminating NUL, on the next 4-byte boundary.
  const size_t afterKey = position + 2 * (std::strlen(key.name) + 1);
  const size_t start = (afterKey + 3) / 4 * 4;
  value.found = true;
  value.wide = true;
  value.wideText = WideValueAt(block, start);
  return value;
}

VersionValue FindValue(const std::string& block, BlockForm form, const Key& key) {
  return form == BlockForm::Wide ? FindWideValue(block, key) : FindNarrowValue(block, key);
}

}  // namespace

BlockForm FormOf(const std::string& block) {
  if (block.size() > kNarrowRootOffset && HasNarrowText(block, kNarrowRootOffset, kRootKey))
    return BlockForm::Narrow;
  if (HasWideText(block, kWideRootOffset, kRootKey)) return BlockForm::Wide;
  return BlockForm::Unknown;
}

VersionStrings FindVersionStrings(const std::string& block) {
  const BlockForm form = FormOf(block);
  VersionStrings strings;
  strings.company = FindValue(block, form, kCompanyName);
  strings.version = FindValue(block, form, kProductVersion);
  return strings;
}

}  // namespace ravlin
