#include "inspection/FolderSearch.h"

#include <algorithm>
#include <cctype>

#include "inspection/LookFolder.h"
#include "inspection/PlatformFile.h"

namespace ravlin {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A name that is never a control has no path to find: it is never looked for.
bool IsMissing(const ControlState& control) {
  return control.foundAt.empty() && control.kind != ControlState::Kind::Registered &&
         control.kind != ControlState::Kind::NotAControl;
}

void NoteFound(ControlState& control, const std::string& at, const std::string& in, FolderLook& look) {
  control.foundAt = at;
  control.foundIn = in;
  if (control.kind == ControlState::Kind::NotFound) control.kind = ControlState::Kind::Found;
  ++look.found;
}

// The search handle, closed when it goes.
class FolderSearchHandle {
 public:
  FolderSearchHandle(Platform& platform, const std::string& pattern, FindData* first)
      : platform_(platform), handle_(platform.FindFirstFileA(pattern.c_str(), first)) {}
  ~FolderSearchHandle() {
    if (IsOpen()) platform_.FindClose(handle_);
  }
  FolderSearchHandle(const FolderSearchHandle&) = delete;
  FolderSearchHandle& operator=(const FolderSearchHandle&) = delete;
  bool IsOpen() const { return handle_ != InvalidHandleValue(); }
  bool Next(FindData* data) { return platform_.FindNextFileA(handle_, data) != 0; }

 private:
  Platform& platform_;
  Handle handle_;
};

// The cabinets directly in the folder, in name order. The pattern also
// matches short names, so each long name is checked again.
std::vector<FindData> CabinetsIn(Platform& platform, const std::string& folder) {
  std::vector<FindData> cabinets;
  FindData entry;
  FolderSearchHandle search(platform, folder + "\\*.cab", &entry);
  for (bool more = search.IsOpen(); more; more = search.Next(&entry)) {
    const std::string name = Lower(entry.name);
    const bool isCabinet = name.size() > 4 && name.compare(name.size() - 4, 4, ".cab") == 0;
    if (!isCabinet || (entry.attributes & kFileAttributeDirectory)) continue;
    auto place = cabinets.begin();
    while (place != cabinets.end() && Lower(place->name) < name) ++place;
    cabinets.insert(place, entry);
  }
  return cabinets;
}

// The bare names of the controls still missing, each once.
std::vector<std::string> StillMissing(const ProgramState& program) {
  std::vector<std::string> names;
  for (const ControlState& control : program.controls) {
    const std::string name = NameOf(control.control.file);
    const bool listed = std::any_of(names.begin(), names.end(),
                                    [&](const std::string& other) { return Lower(other) == Lower(name); });
    if (IsMissing(control) && !name.empty() && !listed) names.push_back(name);
  }
  return names;
}

void TakeFromCabinet(Platform& platform, ProgramState& program, const std::string& folder, const FindData& cabinet,
                     FolderLook& look) {
  const std::vector<std::string> wanted = StillMissing(program);
  if (wanted.empty()) return;
  if (cabinet.size > kLargestCabinet) return look.skipped.push_back({cabinet.name, SkippedCabinet::Why::TooLarge});
  if (look.temporary.empty()) look.temporary = NewLookFolder(platform, program.program);
  if (look.temporary.empty()) return look.skipped.push_back({cabinet.name, SkippedCabinet::Why::NoTemporaryFolder});
  std::vector<std::string> written;
  const std::string path = folder + "\\" + cabinet.name;
  if (!platform.ExtractFromCabinetA(path.c_str(), wanted, look.temporary.c_str(), &written))
    return look.skipped.push_back({cabinet.name, SkippedCabinet::Why::Damaged});
  for (const std::string& name : written)
    for (ControlState& control : program.controls)
      if (IsMissing(control) && Lower(NameOf(control.control.file)) == Lower(name))
        NoteFound(control, look.temporary + "\\" + name, cabinet.name + " of " + folder, look);
}

}  // namespace

FolderLook LookInFolder(Platform& platform, ProgramState& program, const std::string& folder) {
  FolderLook look;
  look.folder = folder;
  for (ControlState& control : program.controls) {
    const std::string candidate = folder + "\\" + NameOf(control.control.file);
    if (IsMissing(control) && IsOrdinaryFile(platform, candidate)) NoteFound(control, candidate, folder, look);
  }
  for (const FindData& cabinet : CabinetsIn(platform, folder)) TakeFromCabinet(platform, program, folder, cabinet, look);
  return look;
}

}  // namespace ravlin
