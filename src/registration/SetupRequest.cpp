#include "registration/SetupRequest.h"

#include <algorithm>

#include "inspection/FolderSearch.h"
#include "inspection/PlatformFile.h"
#include "inspection/RegistrationState.h"
#include "inspection/Szdd.h"
#include "platform/FileWrite.h"
#include "platform/ResumeNext.h"
#include "platform/Text.h"
#include "registration/CabinetTake.h"
#include "registration/LookFolder.h"
#include "registration/SetupInstall.h"

namespace ravlin {
namespace {

constexpr size_t kLargestList = 1 << 20;
constexpr char kListName[] = "SETUP.LST";

std::string Variable(Platform& platform, const char* name) {
  return BufferedText([&](char* b, uint32_t n) { return platform.GetEnvironmentVariableA(name, b, n); });
}

// The 32-bit programs' folders, where an old setup would have put its files.
SetupFolders FoldersFor(Platform& platform, const std::string& setup) {
  SetupFolders folders;
  folders.setup = setup;
  folders.system = PathRulesFor(platform, kMachineI386).systemFolder;
  folders.windows = Variable(platform, "SystemRoot");
  folders.programFiles = Variable(platform, "ProgramFiles(x86)");
  if (folders.programFiles.empty()) folders.programFiles = Variable(platform, "ProgramFiles");
  folders.commonFiles = Variable(platform, "CommonProgramFiles(x86)");
  if (folders.commonFiles.empty()) folders.commonFiles = Variable(platform, "CommonProgramFiles");
  return folders;
}

// The files beside the list only in compress.exe's packed form ("NAME.DL_"), each under the name its line
// gives: unpacked whole in memory, then written whole, so a part is never left.
void UnpackBeside(Platform& platform, const SetupList& list, const SetupFolders& folders, SetupSources& sources) {
  for (const SetupFile& file : list.files) {
    std::string packed, unpacked;
    if (file.inCabinet || file.besideName == file.name || file.firstLine != 0 ||
        !ReadWholeFile(platform, folders.setup + "\\" + file.besideName, kLargestUnpacked, packed))
      continue;
    if (sources.unpacked.empty()) sources.unpacked = NewTemporaryFolder(platform, "setup");
    if (!sources.unpacked.empty() && UnpackSzdd(packed, unpacked) &&
        WriteFileWhole(platform, sources.unpacked + "\\" + file.name, unpacked))
      sources.written.push_back(file.name);
  }
}

// Every cabinet member the list names, each under the name its line gives: one in place already may
// be replaced at the user's asking.
SetupSources Unpack(Platform& platform, const SetupList& list, const SetupFolders& folders) {
  SetupSources sources;
  std::vector<std::string> wanted;
  for (const SetupFile& file : list.files)
    if (file.inCabinet) wanted.push_back(file.name);
  for (const std::string& cabinet : list.cabinets) {
    const std::string path = folders.setup + "\\" + cabinet;
    FileAttributeData data;
    if (!platform.GetFileAttributesExA(path.c_str(), &data) || (data.attributes & kFileAttributeDirectory)) {
      sources.absent.push_back(cabinet);
      continue;
    }
    if (wanted.empty()) continue;
    if (sources.unpacked.empty()) sources.unpacked = NewTemporaryFolder(platform, "setup");
    std::vector<std::string> written;
    if (data.size > kLargestCabinet || sources.unpacked.empty() ||
        !TakeFromCabinet(platform, path, wanted, sources.unpacked, &written)) {
      sources.damaged.push_back(cabinet);
      continue;
    }
    for (const std::string& name : written) {
      sources.written.push_back(name);
      for (size_t i = wanted.size(); i-- > 0;)
        if (Lower(wanted[i]) == Lower(name)) wanted.erase(wanted.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  UnpackBeside(platform, list, folders, sources);
  return sources;
}

void Prepare(Platform& platform, const std::string& toFolder, bool replaceNewer, PreparedSetup& prepared) {
  const std::string& listPath = prepared.list;
  FileAttributeData data;
  std::string bytes;
  // One that opens but reads short (locked, a read error) could not be loaded either: not a bad list.
  if (!ReadWholeFile(platform, listPath, kLargestList, bytes) || !platform.GetFileAttributesExA(listPath.c_str(), &data) ||
      bytes.size() < std::min<uint64_t>(data.size, kLargestList)) {
    prepared.why = PreparedSetup::Why::NoList;
    return;
  }
  SetupList list = ReadSetupList(bytes);
  if (list.files.empty()) {
    prepared.why = PreparedSetup::Why::Unreadable;
    return;
  }
  SetupFolders folders = FoldersFor(platform, FolderOf(listPath));
  const std::string name = ProgramFolderName(list);
  folders.program = !toFolder.empty() ? FullPathOf(platform, toFolder)
                    : name.empty() || folders.programFiles.empty() ? std::string()
                                                                   : folders.programFiles + "\\" + name;
  if (folders.program.empty()) {
    prepared.why = PreparedSetup::Why::NoProgramFolder;
    return;
  }
  SetupSources sources = Unpack(platform, list, folders);
  prepared.plan = PlanSetup(platform, std::move(list), folders, std::move(sources));
  ChooseReplacing(prepared.plan, replaceNewer);
  prepared.why = PreparedSetup::Why::Ready;
}

}  // namespace

bool NamesSetup(Platform& platform, const std::string& spec) {
  const std::string given = WithoutEnclosingQuotes(spec);
  // A folder without the list stays what it was: no file to register.
  FileAttributeData data;
  bool folder = false;
  ResumeNext([&] {
    folder = platform.GetFileAttributesExA(given.c_str(), &data) && (data.attributes & kFileAttributeDirectory) &&
             platform.GetFileAttributesExA((given + "\\" + kListName).c_str(), &data);
  });
  return folder || Lower(FileNameOf(given)) == Lower(kListName);
}

PreparedSetup PrepareSetup(Platform& platform, const std::string& spec, const std::string& toFolder,
                           bool replaceNewer) {
  PreparedSetup prepared;
  if (!NamesSetup(platform, spec)) return prepared;
  prepared.why = PreparedSetup::Why::NoList;
  ResumeNext([&] {
    const std::string path = FullPathOf(platform, WithoutEnclosingQuotes(spec));
    if (path.empty()) return;
    prepared.list = IsFolder(platform, path) ? path + (path.back() == '\\' ? "" : "\\") + kListName : path;
    Prepare(platform, toFolder, replaceNewer, prepared);
  });
  return prepared;
}

}  // namespace ravlin
