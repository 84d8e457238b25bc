#include "registration/FolderTake.h"

#include "platform/Text.h"
#include "registration/CabinetTake.h"
#include "registration/LookFolder.h"

namespace ravlin {
namespace {

void NoteFound(ControlState& control, const std::string& at, const std::string& in, FolderLook& look) {
  control.foundAt = at;
  control.foundIn = in;
  if (control.kind == ControlState::Kind::NotFound) control.kind = ControlState::Kind::Found;
  ++look.found;
}

void TakeFrom(Platform& platform, ProgramState& program, const std::string& folder, const FindData& cabinet,
              FolderLook& look) {
  const std::vector<std::string> wanted = StillMissing(program);
  if (wanted.empty()) return;
  if (cabinet.size > kLargestCabinet) return look.skipped.push_back({cabinet.name, SkippedCabinet::Why::TooLarge});
  if (look.temporary.empty()) look.temporary = NewTemporaryFolder(platform, FileNameOf(program.program));
  if (look.temporary.empty()) return look.skipped.push_back({cabinet.name, SkippedCabinet::Why::NoTemporaryFolder});
  std::vector<std::string> written;
  if (!TakeFromCabinet(platform, folder + "\\" + cabinet.name, wanted, look.temporary, &written))
    return look.skipped.push_back({cabinet.name, SkippedCabinet::Why::Damaged});
  for (const std::string& name : written)
    for (ControlState& control : program.controls)
      if (IsMissing(control) && Lower(FileNameOf(control.control.file)) == Lower(name))
        NoteFound(control, look.temporary + "\\" + name, cabinet.name + " of " + folder, look);
}

}  // namespace

FolderLook LookInFolder(Platform& platform, ProgramState& program, const std::string& folder) {
  FolderLook look;
  look.folder = folder;
  const FolderContents contents = SearchFolder(platform, program, folder);
  for (const auto& file : contents.files) NoteFound(program.controls[file.first], file.second, folder, look);
  for (const FindData& cabinet : contents.cabinets) TakeFrom(platform, program, folder, cabinet, look);
  return look;
}

}  // namespace ravlin
