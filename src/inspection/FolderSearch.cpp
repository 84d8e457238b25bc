#include "inspection/FolderSearch.h"

#include <algorithm>

#include "inspection/PlatformFile.h"
#include "platform/Text.h"

namespace ravlin {
namespace {

// The search handle, closed when it goes.
class FolderSearchHandle {
 public:
  FolderSearchHandle(FilePlatform& files, const std::string& pattern, FindData* first)
      : files_(files), handle_(files.FindFirstFileA(pattern.c_str(), first)) {}
  ~FolderSearchHandle() {
    if (IsOpen()) files_.FindClose(handle_);
  }
  FolderSearchHandle(const FolderSearchHandle&) = delete;
  FolderSearchHandle& operator=(const FolderSearchHandle&) = delete;
  bool IsOpen() const { return handle_ != InvalidHandleValue(); }
  bool Next(FindData* data) { return files_.FindNextFileA(handle_, data) != 0; }

 private:
  FilePlatform& files_;
  Handle handle_;
};

// The cabinets directly in the folder, in name order. The pattern also
// matches short names, so each long name is checked again.
std::vector<FindData> CabinetsIn(FilePlatform& files, const std::string& folder) {
  std::vector<FindData> cabinets;
  FindData entry;
  FolderSearchHandle search(files, folder + "\\*.cab", &entry);
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

}  // namespace

bool IsMissing(const ControlState& control) {
  return control.foundAt.empty() && control.kind != ControlState::Kind::Registered &&
         control.kind != ControlState::Kind::NotAControl;
}

std::vector<std::string> StillMissing(const ProgramState& program) {
  std::vector<std::string> names;
  for (const ControlState& control : program.controls) {
    const std::string name = FileNameOf(control.control.file);
    const bool listed = std::any_of(names.begin(), names.end(),
                                    [&](const std::string& other) { return Lower(other) == Lower(name); });
    if (IsMissing(control) && !name.empty() && !listed) names.push_back(name);
  }
  return names;
}

FolderContents SearchFolder(FilePlatform& files, const ProgramState& program, const std::string& folder) {
  FolderContents contents;
  for (size_t i = 0; i < program.controls.size(); ++i) {
    const ControlState& control = program.controls[i];
    const std::string candidate = folder + "\\" + FileNameOf(control.control.file);
    if (IsMissing(control) && IsOrdinaryFile(files, candidate)) contents.files.emplace_back(i, candidate);
  }
  contents.cabinets = CabinetsIn(files, folder);
  return contents;
}

}  // namespace ravlin
