#include "registration/SystemCopy.h"

#include "platform/ResumeNext.h"

namespace ravlin {

// A copy that is not the file confirmed goes again, and the control keeps
// pointing at its source, which the run then finds changed.
std::vector<std::string> CopyIntoSystemFolder(Platform& platform, ProgramState& program) {
  std::vector<std::string> notCopied;
  for (ControlState& control : program.controls) {
    if (control.foundIn.empty() || !control.Registrable()) continue;
    const size_t slash = control.foundAt.find_last_of("\\/");
    const std::string copy = program.systemFolder + "\\" + control.foundAt.substr(slash + 1);
    if (!program.systemFolder.empty() && platform.CopyFileA(control.foundAt.c_str(), copy.c_str(), 1)) {
      if (ReadFileIdentity(platform, copy, true) == control.confirmed) {
        control.foundAt = copy;
      } else {
        ResumeNext([&] { platform.DeleteFileA(copy.c_str()); });
      }
      continue;
    }
    control.foundAt.clear();
    notCopied.push_back(control.control.file);
  }
  return notCopied;
}

}  // namespace ravlin
