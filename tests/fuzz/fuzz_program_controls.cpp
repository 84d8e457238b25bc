// Feeds arbitrary bytes to the reader of a Visual Basic program's controls.
// Besides the sanitizers' checks: only a table read to its end lists
// controls, each with a name and at least one class of a well-formed GUID and
// a name, and no name longer than the file; each spelling of a name is UTF-8.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "inspection/ProgramControls.h"
#include "inspection/Spellings.h"

namespace {

using fuzz::Bytes;
using fuzz::Check;

bool NameFits(const std::string& name, size_t size) {
  return !name.empty() && name.size() < size && name.find('\0') == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Bytes read(data, size);
  const ravlin::ProgramControls controls = ravlin::ReadProgramControls(read);
  if (controls.kind != ravlin::ProgramControls::Kind::Read) Check(controls.controls.empty());
  for (const ravlin::ProgramControl& control : controls.controls) {
    Check(NameFits(control.file, size) && !control.classes.empty());
    for (const std::string& spelling : ravlin::SpellingsOf(control.file))
      Check(ravlin::SpellingsOf(spelling) == std::vector<std::string>{spelling});
    for (const ravlin::ControlClass& cls : control.classes) {
      Check(NameFits(cls.className, size));
      Check(cls.clsid.size() == 38 && cls.clsid.front() == '{' && cls.clsid.back() == '}');
    }
  }
  return 0;
}
