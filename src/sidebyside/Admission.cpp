// Which described controls a manifest may declare: the right one for each
// class the program needs, and each class and library once, since the
// loader refuses a manifest that defines one twice.
#include "platform/Text.h"
#include "sidebyside/ManifestWriter.h"

namespace ravlin {
namespace {

// What a control serves, as the user knows it: its classes' ProgIDs, else their IDs.
std::string Served(const ControlDescription& description) {
  std::string text;
  for (const ClassRegistration& described : description.classes)
    text += (text.empty() ? "" : ", ") + (described.progIds.empty() ? described.clsid : described.progIds.front());
  return text.empty() ? "no class" : text;
}

const ControlClass* FirstUnserved(const Placement& placement, const ControlDescription& description) {
  for (const ControlClass& needed : placement.needs)
    if (!description.Serves(needed.clsid)) return &needed;
  return nullptr;
}

struct Claim {
  std::string id;
  std::string fileName;
};

const Claim* ClaimOn(const std::vector<Claim>& claims, const std::string& id) {
  for (const Claim& claim : claims)
    if (Lower(claim.id) == Lower(id)) return &claim;
  return nullptr;
}

// The IDs a control would declare: its classes' and its libraries'.
std::vector<std::string> Ids(const ControlDescription& description) {
  std::vector<std::string> ids;
  for (const ClassRegistration& described : description.classes) ids.push_back(described.clsid);
  for (const DescribedLibrary& library : description.libraries) ids.push_back(library.libid);
  return ids;
}

}  // namespace

std::vector<size_t> Admitted(const std::vector<Placement>& placements,
                             const std::vector<ControlDescription>& descriptions, ManifestResult& result) {
  using Reason = LeftOutControl::Reason;
  std::vector<size_t> admitted;
  std::vector<Claim> claims;
  for (size_t i = 0; i < placements.size() && i < descriptions.size(); ++i) {
    const Placement& placement = placements[i];
    const ControlDescription& description = descriptions[i];
    LeftOutControl leftOut{placement.fileName, Reason::NoTypeLibrary, placement.source, 0, {}, {}, {}};
    if (description.source == ControlDescription::Source::Nothing) {
      leftOut.code = static_cast<uint32_t>(description.libraryResult);
      result.leftOut.push_back(leftOut);
      continue;
    }
    if (const ControlClass* missing = FirstUnserved(placement, description)) {
      leftOut.reason = Reason::NotTheControl;
      leftOut.serves = Served(description);
      leftOut.needs = missing->className + " " + missing->clsid;
      result.leftOut.push_back(leftOut);
      continue;
    }
    const Claim* taken = nullptr;
    std::string id;
    for (const std::string& own : Ids(description))
      if (!taken && (taken = ClaimOn(claims, own)) != nullptr) id = own;
    if (taken) {
      leftOut.reason = Reason::ClaimedAlready;
      leftOut.serves = id;
      leftOut.needs = taken->fileName;
      result.leftOut.push_back(leftOut);
      continue;
    }
    for (const std::string& own : Ids(description)) claims.push_back({own, placement.fileName});
    admitted.push_back(i);
  }
  return admitted;
}

}  // namespace ravlin
