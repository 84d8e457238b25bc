#include "sidebyside/ManifestWriter.h"

#include "inspection/PeImage.h"
#include "inspection/PlatformFile.h"
#include "inspection/TypeLibrary.h"
#include "platform/Owned.h"
#include "platform/Text.h"
#include "sidebyside/ClassRegistrations.h"
#include "sidebyside/Manifest.h"

namespace ravlin {
namespace {

constexpr uint16_t kManifestOfAProgram = 1;  // CREATEPROCESS_MANIFEST_RESOURCE_ID
constexpr uint32_t kFileAttributeNormal = 0x80;
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

// A control that can be described, and where it is to lie.
struct Placement {
  DescribedControl described;
  std::string source;
  std::string target;
};

bool PlacedAlready(const std::vector<Placement>& placements, const std::string& target) {
  for (const Placement& placement : placements)
    if (SameText(placement.target, target)) return true;
  return false;
}

// Where the control is to lie and what it holds; what cannot be described
// goes to result's left-out list instead. A file named twice is placed once.
void Describe(Platform& platform, const std::string& folder, const NeededControl& control,
              ManifestResult& result, std::vector<Placement>& placements) {
  using Reason = LeftOutControl::Reason;
  auto leaveOut = [&](Reason reason, const std::string& path) {
    result.leftOut.push_back({control.fileName, reason, path});
  };
  if (control.path.empty() || !IsOrdinaryFile(platform, control.path)) return leaveOut(Reason::NotFound, {});
  const std::optional<PeHeaders> headers = ReadPeHeadersOf(platform, control.path);
  if (headers && headers->isImage && headers->machine != kMachineI386)
    return leaveOut(Reason::Not32Bit, control.path);
  TypeLibrary library = ReadTypeLibrary(platform, control.path);
  if (!library.Read()) return leaveOut(Reason::NoTypeLibrary, control.path);
  const std::string target = folder + "\\" + FileNameOf(control.path);
  if (PlacedAlready(placements, target)) return;
  if (!SameText(FolderOf(control.path), folder) && IsOrdinaryFile(platform, target) &&
      !SameBytes(platform, control.path, target))
    return leaveOut(Reason::DifferentCopy, target);
  DescribedControl described{FileNameOf(control.path), std::move(library),
                             ReadClassRegistrations(platform, control.path)};
  placements.push_back({std::move(described), control.path, target});
}

// Copies a control found elsewhere beside the program; the original stays.
bool Place(Platform& platform, const Placement& placement, ManifestResult& result) {
  if (SameText(placement.source, placement.target) || IsOrdinaryFile(platform, placement.target)) return true;
  if (!platform.CopyFileA(placement.source.c_str(), placement.target.c_str(), 1)) {
    result.leftOut.push_back({placement.described.fileName, LeftOutControl::Reason::CopyFailed, placement.source});
    return false;
  }
  result.copied.push_back(placement.target);
  return true;
}

// A new file holding text; false with *error when it cannot be made or written whole.
bool WriteNewFile(Platform& platform, const std::string& path, const std::string& text, uint32_t* error) {
  const Handle raw = platform.CreateFileA(path.c_str(), kGenericWrite, 0, kCreateNew, kFileAttributeNormal);
  if (raw == InvalidHandleValue()) {
    *error = platform.GetLastError();
    return false;
  }
  const OwnedHandle file(raw, HandleReleaser{&platform});
  uint32_t written = 0;
  if (!platform.WriteFile(file.get(), text.data(), static_cast<uint32_t>(text.size()), &written) ||
      written != text.size()) {
    *error = platform.GetLastError();
    return false;
  }
  return true;
}

// Keeps an existing manifest under its .bak name; false with result's error when it cannot.
bool KeepEarlierManifest(Platform& platform, ManifestResult& result) {
  if (!IsOrdinaryFile(platform, result.manifestPath)) return true;
  const std::string backup = result.manifestPath + ".bak";
  if (!platform.MoveFileA(result.manifestPath.c_str(), backup.c_str())) {
    result.kind = ManifestResult::Kind::WriteFailed;
    result.error = platform.GetLastError();
    return false;
  }
  result.keptAs = backup;
  return true;
}

}  // namespace

ManifestResult WriteManifest(Platform& platform, const std::string& programPath,
                             const std::vector<NeededControl>& controls) {
  ManifestResult result;
  result.manifestPath = programPath + ".manifest";
  if (HasOwnManifest(platform, programPath)) {
    result.kind = ManifestResult::Kind::OwnManifest;
    return result;
  }
  const std::string folder = FolderOf(programPath);
  std::vector<Placement> placements;
  for (const NeededControl& control : controls) Describe(platform, folder, control, result, placements);
  if (placements.empty()) return result;
  // Both there: one of them would be lost, so neither is touched.
  if (IsOrdinaryFile(platform, result.manifestPath) && IsOrdinaryFile(platform, result.manifestPath + ".bak")) {
    result.kind = ManifestResult::Kind::BackupInTheWay;
    return result;
  }
  ManifestRequest request{FileNameOf(programPath), {}};
  for (const Placement& placement : placements) {
    if (!Place(platform, placement, result)) continue;
    request.controls.push_back(placement.described);
    result.covered.push_back(placement.described.fileName);
  }
  if (request.controls.empty() || !KeepEarlierManifest(platform, result)) return result;
  if (!WriteNewFile(platform, result.manifestPath, ManifestText(request), &result.error)) {
    result.kind = ManifestResult::Kind::WriteFailed;
    return result;
  }
  result.kind = ManifestResult::Kind::Written;
  return result;
}

}  // namespace ravlin
