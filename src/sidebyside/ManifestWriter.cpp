#include "sidebyside/ManifestWriter.h"

#include "inspection/PeImage.h"
#include "inspection/PlatformFile.h"
#include "platform/FileWrite.h"
#include "platform/Owned.h"
#include "platform/Probes.h"
#include "platform/Text.h"
#include "sidebyside/Manifest.h"

namespace ravlin {
namespace {

constexpr uint16_t kManifestOfAProgram = 1;  // CREATEPROCESS_MANIFEST_RESOURCE_ID
constexpr size_t kCompareChunk = 0x10000;

bool SameText(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

// A manifest resource of the program's own wins over a file beside it.
bool HasOwnManifest(Platform& platform, const std::string& programPath) {
  const OwnedLibrary image(platform.LoadLibraryExA(programPath.c_str(), nullptr, kLoadLibraryAsDatafile),
                           LibraryFreer{&platform});
  if (!image) return false;
  return platform.FindResourceA(image.get(), IntResource(kManifestOfAProgram), IntResource(kResourceManifest)) !=
         nullptr;
}

bool SameBytes(Platform& platform, const std::string& first, const std::string& second) {
  PlatformFile a(platform, first), b(platform, second);
  if (!a.IsOpen() || !b.IsOpen()) return false;
  std::string bytesA(kCompareChunk, '\0'), bytesB(kCompareChunk, '\0');
  for (uint64_t offset = 0;; offset += kCompareChunk) {
    const size_t readA = a.ReadAt(offset, &bytesA[0], kCompareChunk);
    const size_t readB = b.ReadAt(offset, &bytesB[0], kCompareChunk);
    if (readA != readB || bytesA.compare(0, readA, bytesB, 0, readB) != 0) return false;
    if (readA < kCompareChunk) return true;
  }
}

Placement* PlacedAlready(std::vector<Placement>& placements, const std::string& target) {
  for (Placement& placement : placements)
    if (SameText(placement.target, target)) return &placement;
  return nullptr;
}

// Where the control is to lie; what cannot lie there goes to the plan's
// left-out list instead. Only a file of the name the program asks for is
// taken. A file named twice is placed once, needed for the classes of both.
void Plan(Platform& platform, const std::string& folder, const NeededControl& control, ManifestPlan& plan) {
  using Reason = LeftOutControl::Reason;
  const std::string name = FileNameOf(control.fileName);
  auto leaveOut = [&](Reason reason, const std::string& path) {
    plan.result.leftOut.push_back({name, reason, path, 0, {}, {}, {}});
  };
  std::string path = control.path;
  if (!path.empty() && !SameText(FileNameOf(path), name)) {
    const std::string beside = folder + "\\" + name;
    if (!IsOrdinaryFile(platform, beside)) return leaveOut(Reason::OtherName, path);
    path = beside;
  }
  if (path.empty() || !IsOrdinaryFile(platform, path)) return leaveOut(Reason::NotFound, {});
  const std::optional<PeHeaders> headers = ReadPeHeadersOf(platform, path);
  if (headers && headers->isImage && headers->machine != kMachineI386) return leaveOut(Reason::Not32Bit, path);
  const std::string target = folder + "\\" + FileNameOf(path);
  if (Placement* placed = PlacedAlready(plan.placements, target)) {
    placed->needs.insert(placed->needs.end(), control.classes.begin(), control.classes.end());
    return;
  }
  if (!SameText(FolderOf(path), folder) && IsOrdinaryFile(platform, target) && !SameBytes(platform, path, target))
    return leaveOut(Reason::DifferentCopy, target);
  plan.placements.push_back({FileNameOf(path), path, target, control.classes});
}

// Copies a control found elsewhere beside the program, whole or not at all; the original stays.
bool Place(Platform& platform, const Placement& placement, ManifestResult& result) {
  if (SameText(placement.source, placement.target) || IsOrdinaryFile(platform, placement.target)) return true;
  const std::string temporary = TemporaryNameFor(platform, placement.target);
  uint32_t error = 0;
  if (platform.CopyFileA(placement.source.c_str(), temporary.c_str(), 1)) {
    if (MoveIntoPlace(platform, temporary, placement.target, &error)) {
      result.copied.push_back(placement.target);
      result.copiedFrom.push_back(placement.source);
      return true;
    }
  } else {
    error = platform.GetLastError();
    platform.DeleteFileA(temporary.c_str());  // a copy cut short
  }
  result.leftOut.push_back({placement.fileName, LeftOutControl::Reason::CopyFailed, placement.source, error,
                            SystemDescription(platform, error), {}, {}});
  return false;
}

// The program's own name, whatever spelling named it: the loader looks for that name's manifest.
std::string LongName(Platform& platform, const std::string& path) {
  const std::string longName =
      BufferedText([&](char* buffer, uint32_t size) { return platform.GetLongPathNameA(path.c_str(), buffer, size); });
  return longName.empty() ? path : longName;
}

void Failed(Platform& platform, ManifestResult& result) {
  result.kind = ManifestResult::Kind::WriteFailed;
  result.error = platform.GetLastError();
  result.errorWords = SystemDescription(platform, result.error);
}

// A failed write takes back what its run placed: the copies (none was there
// before: a copy never replaces), and the earlier manifest under its own name,
// where nothing of this run is left in its way.
void Undo(Platform& platform, ManifestResult& result) {
  for (const std::string& copy : result.copied)
    if (platform.DeleteFileA(copy.c_str())) result.removed.push_back(copy);
  if (!result.keptAs.empty() && platform.MoveFileA(result.keptAs.c_str(), result.manifestPath.c_str()))
    result.keptAs.clear();
}

// Keeps an existing manifest under its .bak name; false with result's error
// when it cannot, and then the new one, written already, goes.
bool KeepEarlierManifest(Platform& platform, ManifestResult& result, const std::string& written) {
  if (!IsOrdinaryFile(platform, result.manifestPath)) return true;
  const std::string backup = result.manifestPath + ".bak";
  if (!platform.MoveFileA(result.manifestPath.c_str(), backup.c_str())) {
    Failed(platform, result);
    platform.DeleteFileA(written.c_str());
    return false;
  }
  result.keptAs = backup;
  return true;
}

}  // namespace

ManifestPlan PlanManifest(Platform& platform, const std::string& programPath,
                          const std::vector<NeededControl>& controls) {
  ManifestPlan plan;
  plan.result.manifestPath = LongName(platform, programPath) + kManifestSuffix;
  if (HasOwnManifest(platform, programPath)) {
    plan.result.kind = ManifestResult::Kind::OwnManifest;
    return plan;
  }
  const std::string folder = FolderOf(programPath);
  for (const NeededControl& control : controls) Plan(platform, folder, control, plan);
  return plan;
}

ManifestResult WriteManifest(Platform& platform, const ManifestPlan& plan,
                             const std::vector<ControlDescription>& descriptions) {
  ManifestResult result = plan.result;
  if (result.kind == ManifestResult::Kind::OwnManifest) return result;
  for (size_t i = 0; i < plan.placements.size() && i < descriptions.size(); ++i)
    if (descriptions[i].captureFailure != ControlDescription::CaptureFailure::None)
      result.describedInstead.push_back({plan.placements[i].fileName, descriptions[i].captureFailure,
                                         descriptions[i].captureCode,
                                         descriptions[i].source == ControlDescription::Source::TypeLibrary});
  const std::vector<size_t> admitted = Admitted(plan.placements, descriptions, result);
  if (admitted.empty()) return result;
  // Both there: one of them would be lost, so neither is touched.
  if (IsOrdinaryFile(platform, result.manifestPath) && IsOrdinaryFile(platform, result.manifestPath + ".bak")) {
    result.kind = ManifestResult::Kind::BackupInTheWay;
    return result;
  }
  const std::string program = result.manifestPath.substr(0, result.manifestPath.size() - (sizeof kManifestSuffix - 1));
  ManifestRequest request{FileNameOf(program), {}};
  for (const size_t i : admitted) {
    if (!Place(platform, plan.placements[i], result)) continue;
    request.controls.push_back({plan.placements[i].fileName, descriptions[i]});
    result.covered.push_back(plan.placements[i].fileName);
  }
  if (request.controls.empty()) return result;
  // Written whole under a name of its own first: Windows refuses to start a
  // program whose manifest is cut short.
  const std::string temporary = TemporaryNameFor(platform, result.manifestPath);
  if (!WriteNewFile(platform, temporary, ManifestText(request), &result.error) ||
      !KeepEarlierManifest(platform, result, temporary) ||
      !MoveIntoPlace(platform, temporary, result.manifestPath, &result.error)) {
    if (result.kind != ManifestResult::Kind::WriteFailed) {
      result.kind = ManifestResult::Kind::WriteFailed;
      result.errorWords = SystemDescription(platform, result.error);
    }
    Undo(platform, result);
    return result;
  }
  result.kind = ManifestResult::Kind::Written;
  return result;
}

}  // namespace ravlin
