#include "inspection/FolderSearch.h"

#include <algorithm>
#include <cctype>

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

bool IsMissing(const ControlState& control) { return control.foundAt.empty() && control.kind != ControlState::Kind::Registered; }

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

// A new folder under the temporary folder, named after the program: "" when none can be made.
std::string NewTemporaryFolder(Platform& platform, const std::string& program) {
  char temp[1024] = {};
  const uint32_t length = platform.GetTempPathA(sizeof(temp), temp);
  if (length == 0 || length >= sizeof(temp)) return {};
  std::string base(temp, length);
  if (base.back() != '\\') base += '\\';
  base += "ravlin-" + NameOf(program) + "-";
  // Numbered from the clock, so that the folders of earlier looks never use up the numbers.
  const uint64_t start = platform.GetSystemTimeAsFileTime() / 10000000 % 1000000000;
  for (uint64_t attempt = 0; attempt < 100; ++attempt) {
    const std::string folder = base + std::to_string(start + attempt);
    if (platform.CreateDirectoryA(folder.c_str())) return folder;
    const uint32_t error = platform.GetLastError();
    if (error != kErrorAlreadyExists && error != kErrorFileExists) return {};
  }
  return {};
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
                     std::string& temporary, FolderLook& look) {
  const std::vector<std::string> wanted = StillMissing(program);
  if (wanted.empty()) return;
  if (cabinet.size > kLargestCabinet) return look.skipped.push_back({cabinet.name, SkippedCabinet::Why::TooLarge});
  if (temporary.empty()) temporary = NewTemporaryFolder(platform, program.program);
  if (temporary.empty()) return look.skipped.push_back({cabinet.name, SkippedCabinet::Why::NoTemporaryFolder});
  std::vector<std::string> written;
  const std::string path = folder + "\\" + cabinet.name;
  if (!platform.ExtractFromCabinetA(path.c_str(), wanted, temporary.c_str(), &written))
    return look.skipped.push_back({cabinet.name, SkippedCabinet::Why::Damaged});
  for (const std::string& name : written)
    for (ControlState& control : program.controls)
      if (IsMissing(control) && Lower(NameOf(control.control.file)) == Lower(name))
        NoteFound(control, temporary + "\\" + name, cabinet.name + " of " + folder, look);
}

}  // namespace

FolderLook LookInFolder(Platform& platform, ProgramState& program, const std::string& folder) {
  FolderLook look;
  look.folder = folder;
  for (ControlState& control : program.controls) {
    const std::string candidate = folder + "\\" + NameOf(control.control.file);
    if (IsMissing(control) && IsOrdinaryFile(platform, candidate)) NoteFound(control, candidate, folder, look);
  }
  std::string temporary;
  for (const FindData& cabinet : CabinetsIn(platform, folder))
    TakeFromCabinet(platform, program, folder, cabinet, temporary, look);
  return look;
}

}  // namespace ravlin
