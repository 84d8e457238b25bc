// Feeds arbitrary bytes to the version-block search as a block. Besides the
// sanitizers' checks, each value must stop short of a NUL and fit the block.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "inspection/VersionBlock.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckValue(const ravlin::VersionValue& value, const std::string& block) {
  if (!value.found) {
    Check(value.text.empty() && value.wideText.empty());
    return;
  }
  Check(value.text.find('\0') == std::string::npos);
  Check(value.wideText.find(u'\0') == std::u16string::npos);
  Check(value.text.size() <= block.size());
  Check(value.wideText.size() * 2 <= block.size());
  Check(value.wide ? value.text.empty() : value.wideText.empty());
  if (!value.wide && !value.text.empty()) Check(block.find(value.text) != std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string block(reinterpret_cast<const char*>(data), size);
  const ravlin::BlockForm form = ravlin::FormOf(block);
  const ravlin::VersionStrings strings = ravlin::FindVersionStrings(block);
  CheckValue(strings.company, block);
  CheckValue(strings.version, block);
  if (strings.company.found) Check(strings.company.wide == (form == ravlin::BlockForm::Wide));
  if (strings.version.found) Check(strings.version.wide == (form == ravlin::BlockForm::Wide));
  return 0;
}
