#include "inspection/SetupPlan.h"

#include "inspection/FileVersion.h"
#include "inspection/InstallRecord.h"
#include "inspection/NeverControls.h"
#include "inspection/PlatformFile.h"
#include "platform/Text.h"

namespace ravlin {
namespace {

using Step = PlannedFile::Step;
using Why = PlannedFile::Why;

// The system's own type libraries, which every Windows registers itself.
constexpr const char* kSystemTypeLibraries[] = {"stdole.tlb", "stdole2.tlb", "stdole32.tlb"};
// What the failing setup itself runs on: its program, uninstaller and toolkit.
constexpr const char* kSetupOwn[] = {"setup.exe",   "setup1.exe",   "st5unst.exe",
                                     "st6unst.exe", "vb5stkit.dll", "vb6stkit.dll"};

template <size_t N>
bool Listed(const char* const (&names)[N], const std::string& name) {
  for (const char* listed : names)
    if (Lower(name) == listed) return true;
  return false;
}

bool InSystemFolder(const SetupFile& file) {
  return file.folder == SetupFolder::WinSysPath || file.folder == SetupFolder::WinSysPathSysFile;
}

// One the never-controls table or the system's type libraries name: the system's, whatever the line says.
bool NamedAsSystems(const SetupFile& file) {
  return NeverAControlFor(file.name, "") == NeverAControl::System || Listed(kSystemTypeLibraries, file.name);
}

bool Registers(const SetupFile& file) {
  return file.registration == SetupRegistration::DllSelfRegister ||
         file.registration == SetupRegistration::ExeSelfRegister ||
         file.registration == SetupRegistration::TlbRegister;
}

PlannedFile& Decide(PlannedFile& planned, Step step, Why why) {
  planned.step = step;
  planned.why = why;
  planned.registers = (step == Step::Install || why == Why::SameOrNewer || why == Why::PackageNewer ||
                       why == Why::AlreadyThere) && Registers(planned.file);
  return planned;
}

// The copy to install from: a cabinet's member, or the file beside the list; "" when neither is there.
std::string SourceOf(Platform& platform, const SetupFile& file, const SetupFolders& folders,
                     const SetupSources& sources) {
  std::string unpacked;
  for (const std::string& name : sources.written)
    if (Lower(name) == Lower(file.name) && !sources.unpacked.empty()) unpacked = sources.unpacked + "\\" + name;
  const std::string beside = folders.setup + "\\" + file.besideName;
  const bool besideThere = file.besideName == file.name && IsOrdinaryFile(platform, beside);
  if (file.inCabinet) return !unpacked.empty() ? unpacked : besideThere ? beside : std::string();
  return besideThere ? beside : unpacked;
}

// A file of that name is in place already: the system folder's by version, any other kept as it is.
void KeepThere(Platform& platform, PlannedFile& planned) {
  if (InSystemFolder(planned.file)) planned.presentVersion = ReadFileVersion(platform, planned.target);
  if (planned.presentVersion.empty() || planned.file.version.empty()) {
    Decide(planned, Step::Keep, Why::AlreadyThere);
    return;
  }
  const bool newer = CompareVersions(planned.file.version, planned.presentVersion) > 0;
  Decide(planned, Step::Keep, newer ? Why::PackageNewer : Why::SameOrNewer);
}

PlannedFile PlanOne(Platform& platform, const SetupFile& file, const SetupFolders& folders,
                    const SetupSources& sources) {
  PlannedFile planned;
  planned.file = file;
  planned.target = FolderFor(folders, file) + "\\" + file.name;
  if (file.firstLine != 0) return Decide(planned, Step::Pass, Why::NamedTwice);
  if (Listed(kSetupOwn, file.name)) return Decide(planned, Step::Pass, Why::SetupOwn);
  const bool there = IsOrdinaryFile(platform, planned.target);
  const bool runtime = NeverAControlFor(file.name, "") == NeverAControl::VisualBasicRuntime;
  if (runtime && there) return Decide(planned, Step::Keep, Why::RuntimeThere);
  if (!runtime && (NamedAsSystems(file) || file.folder == SetupFolder::WinSysPathSysFile)) {
    if (there) return Decide(planned, Step::Keep, Why::SystemOwn);
    if (NamedAsSystems(file)) return Decide(planned, Step::Pass, Why::SystemOwnAbsent);
  }
  planned.source = SourceOf(platform, file, folders, sources);
  if (there) {
    KeepThere(platform, planned);
    // A newer shared file may be replaced only from a copy, and never one Windows File Protection guards.
    if (planned.why == Why::PackageNewer && platform.SfcIsFileProtectedA(planned.target.c_str()))
      return Decide(planned, Step::Keep, Why::SystemProtects);
    if (planned.why == Why::PackageNewer && !planned.source.empty())
      planned.backup = BackupPathFor(folders.program, file.name);
    return planned;
  }
  if (!planned.source.empty()) return Decide(planned, Step::Install, Why::Missing);
  const bool packed = !file.inCabinet && file.besideName != file.name &&
                      IsOrdinaryFile(platform, folders.setup + "\\" + file.besideName);
  return Decide(planned, Step::Pass, packed ? Why::Compressed : Why::NoSource);
}

}  // namespace

bool OffersReplacing(const SetupPlan& plan) {
  for (const PlannedFile& planned : plan.files)
    if (!planned.backup.empty()) return true;
  return false;
}

void ChooseReplacing(SetupPlan& plan, bool replace) {
  plan.replacing = replace;
  for (PlannedFile& planned : plan.files) {
    if (planned.backup.empty()) continue;
    if (replace) Decide(planned, Step::Install, Why::Replaces);
    else Decide(planned, Step::Keep, Why::PackageNewer);
  }
}

std::string FolderFor(const SetupFolders& folders, const SetupFile& file) {
  std::string folder;
  switch (file.folder) {
    case SetupFolder::WinSysPath:
    case SetupFolder::WinSysPathSysFile: folder = folders.system; break;
    case SetupFolder::AppPath: folder = folders.program; break;
    case SetupFolder::WinPath: folder = folders.windows; break;
    case SetupFolder::ProgramFiles: folder = folders.programFiles; break;
    case SetupFolder::CommonFiles: folder = folders.commonFiles; break;
    case SetupFolder::CommonFilesSys: folder = folders.commonFiles + "\\System"; break;
    case SetupFolder::MSDAOPath: folder = folders.commonFiles + "\\Microsoft Shared\\DAO"; break;
  }
  return file.subFolder.empty() ? folder : folder + "\\" + file.subFolder;
}

SetupPlan PlanSetup(Platform& platform, SetupList list, const SetupFolders& folders, SetupSources sources) {
  SetupPlan plan;
  plan.folders = folders;
  plan.title = std::move(list.title);
  plan.problems = std::move(list.problems);
  if (!list.appExe.empty()) plan.program = folders.program + "\\" + list.appExe;
  for (const SetupFile& file : list.files) plan.files.push_back(PlanOne(platform, file, folders, sources));
  plan.sources = std::move(sources);
  return plan;
}

}  // namespace ravlin
