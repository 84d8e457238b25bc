#include "inspection/ControlDescription.h"

#include <cstdlib>

#include "inspection/PeImage.h"
#include "inspection/RegistrationState.h"
#include "inspection/TypeLibrary.h"
#include "platform/RegistryKey.h"
#include "platform/Text.h"

namespace ravlin {
namespace {

// MiscStatus for every aspect is the key's own value; controls often leave it
// 0 and give it for content (aspect 1), which is the one a container asks for.
uint32_t MiscStatus(Platform& platform, const RegistryKey& classKey) {
  const RegistryKey misc(platform, classKey.get(), "MiscStatus", kKeyRead | kKeyWow64_32Key);
  if (!misc.IsOpen()) return 0;
  const uint32_t all = static_cast<uint32_t>(std::strtoul(misc.StringValue("").c_str(), nullptr, 10));
  if (all != 0) return all;
  const RegistryKey content(platform, misc.get(), "1", kKeyQueryValue | kKeyWow64_32Key);
  return static_cast<uint32_t>(std::strtoul(content.StringValue("").c_str(), nullptr, 10));
}

// The class a ProgID's own key names; "" when it names none. Windows shares
// ProgID keys between the registry views; Wine does not always, so a 64-bit
// reader finds a 32-bit control's ProgID in one view or the other.
std::string ProgIdOwner(Platform& platform, const std::string& progId) {
  for (const ClassesRoot& root : DefaultClassesRoots()) {
    for (const uint32_t view : {kKeyWow64_32Key, kKeyWow64_64Key}) {
      const std::string owner =
          RegistryKey(platform, root.key, root.path + "\\" + progId + "\\CLSID", kKeyQueryValue | view)
              .StringValue("");
      if (!owner.empty()) return owner;
    }
  }
  return {};
}

// Two classes of a file often list the same ProgID (a class and its older
// name); it stays with the class its own key names, which is the one created.
void KeepOwnedProgIds(Platform& platform, ClassRegistration& details) {
  std::vector<std::string> kept;
  for (const std::string& progId : details.progIds) {
    const std::string owner = ProgIdOwner(platform, progId);
    if (owner.empty() || Lower(owner) == Lower(details.clsid)) kept.push_back(progId);
  }
  details.progIds = kept;
}

ClassRegistration Read(Platform& platform, const RegisteredClass& registered) {
  ClassRegistration details{registered.clsid, {}, {}, 0, {}};
  for (const ClassesRoot& root : DefaultClassesRoots()) {
    const RegistryKey classKey(platform, root.key, root.path + "\\CLSID\\" + registered.clsid,
                               kKeyRead | kKeyWow64_32Key);
    if (!classKey.IsOpen()) continue;
    details.threadingModel =
        RegistryKey(platform, classKey.get(), "InprocServer32", kKeyQueryValue | kKeyWow64_32Key)
            .StringValue("ThreadingModel");
    for (const char* progIdKey : {"VersionIndependentProgID", "ProgID"}) {
      const std::string progId =
          RegistryKey(platform, classKey.get(), progIdKey, kKeyQueryValue | kKeyWow64_32Key).StringValue("");
      if (!progId.empty()) details.progIds.push_back(progId);
    }
    details.miscStatus = MiscStatus(platform, classKey);
    KeepOwnedProgIds(platform, details);
    return details;
  }
  return details;
}

const ClassRegistration* Find(const std::vector<ClassRegistration>& classes, const std::string& clsid) {
  for (const ClassRegistration& registration : classes)
    if (Lower(registration.clsid) == Lower(clsid)) return &registration;
  return nullptr;
}

}  // namespace

bool ControlDescription::Serves(const std::string& clsid) const { return Find(classes, clsid) != nullptr; }

std::string ControlDescription::LibraryOf(const ClassRegistration& described) const {
  if (!described.tlbid.empty()) return described.tlbid;
  return libraries.size() == 1 ? libraries.front().libid : std::string();
}

ControlDescription DescribeFromTypeLibrary(Platform& platform, const std::string& filePath) {
  ControlDescription description;
  const TypeLibrary library = ReadTypeLibrary(platform, filePath);
  if (!library.Read()) {
    description.libraryResult = library.result;
    return description;
  }
  description.source = ControlDescription::Source::TypeLibrary;
  description.libraries.push_back({library.libid, library.version, library.flags});
  std::vector<ClassRegistration> registered;
  for (const RegisteredClass& found : ReadRegistrationState(platform, filePath, kMachineI386).classes)
    registered.push_back(Read(platform, found));
  for (const TypeLibraryClass& coclass : library.classes) {
    if (!coclass.creatable && !coclass.control) continue;
    const ClassRegistration* known = Find(registered, coclass.clsid);
    ClassRegistration described = known ? *known
                                        : ClassRegistration{coclass.clsid, "Apartment",
                                                            {library.name + "." + coclass.name},
                                                            coclass.control ? kControlMiscStatus : 0, {}};
    described.clsid = coclass.clsid;
    described.tlbid = library.libid;
    description.classes.push_back(described);
  }
  return description;
}

}  // namespace ravlin
