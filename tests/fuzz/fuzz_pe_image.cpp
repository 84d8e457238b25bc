// Feeds arbitrary bytes to the header reader as a file. Besides the
// sanitizers' checks: no read past the file, every import name is a
// non-empty name without its terminator, and nothing is said of a file that
// is not a program file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "inspection/PeImage.h"

namespace {

using fuzz::Bytes;
using fuzz::Check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Bytes read(data, size);
  const ravlin::PeHeaders headers = ravlin::ReadPeHeaders(read);
  if (headers.isImage) Check(size >= 0x40);
  else Check(headers.machine == 0 && !headers.isDll && !headers.isDotNet && !headers.exportsDamaged);
  // Only a file reaching past the runtime header's entry can hold one (the PE
  // header cannot start at 0, where the MZ signature is).
  if (headers.isDotNet) Check(size > 4 + 20 + 92 + 4 + 8 * 15);
  for (const std::string& name : ravlin::ReadImportNames(read)) {
    Check(!name.empty() && name.size() < 256 && name.size() <= size);
    Check(name.find('\0') == std::string::npos);
  }
  Check(!ravlin::MachineName(headers.machine).empty());
  return 0;
}
