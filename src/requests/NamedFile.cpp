#include "requests/NamedFile.h"

#include "inspection/PeImage.h"
#include "inspection/PlatformFile.h"
#include "platform/Probes.h"
#include "platform/ResumeNext.h"
#include "registration/CompanionScript.h"
#include "registration/Registrar.h"

namespace ravlin {

NamedFile ReadNamedFile(Platform& platform, const std::string& fileSpec) {
  NamedFile named;
  ResumeNext([&] { named.path = CheckedPathOf(platform, fileSpec); });
  if (named.path.empty()) return named;
  std::optional<ProgramState> program;
  ResumeNext([&] { program = ReadProgramState(platform, named.path); });
  if (!program || program->kind == ProgramControls::Kind::NotVisualBasic) {
    named.kind = NamedFile::Kind::Control;
  } else if (program->kind == ProgramControls::Kind::Unreadable) {
    named.kind = NamedFile::Kind::ProgramUnreadable;
  } else if (program->controls.empty()) {
    named.kind = NamedFile::Kind::ProgramWithoutControls;
  } else {
    named.kind = NamedFile::Kind::Program;
    named.program = std::move(program);
  }
  return named;
}

ListedFile ReadListedFile(Platform& platform, const std::string& path) {
  if (!PlatformFile(platform, path).IsOpen()) return ListedFile::CannotRead;
  const std::optional<PeHeaders> headers = ReadPeHeadersOf(platform, path);
  return headers && headers->isImage ? ListedFile::Library : ListedFile::NotALibrary;
}

std::string CompanionPath(Platform& platform) {
  bool sixtyFour = false;
  ResumeNext([&] { sixtyFour = is64(platform); });
  return CompanionFolder(sixtyFour) + "\\RICHTX32.OCX";
}

}  // namespace ravlin
