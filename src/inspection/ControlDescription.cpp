#include "inspection/ControlDescription.h"

#include <cstdlib>

#include "inspection/PeImage.h"
#include "inspection/RegistrationState.h"
#include "inspection/TypeLibrary.h"
#include "platform/RegistryKey.h"
#include "platform/Text.h"

namespace ravlin {
namespace {

std::string SubValue(Platform& platform, const RegistryKey& key, const std::string& subKey, uint32_t view,
                     const char* name = "") {
  return RegistryKey(platform, key.get(), subKey, kKeyRead | view).StringValue(name);
}

uint32_t Number(const std::string& text) { return static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 10)); }

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
ClassRegistration Read(Platform& platform, const RegisteredClass& registered) {
  const auto owns = [&](const std::string& progId) {
    const std::string owner = ProgIdOwner(platform, progId);
    return owner.empty() || Lower(owner) == Lower(registered.clsid);
  };
  for (const ClassesRoot& root : DefaultClassesRoots()) {
    const RegistryKey classKey(platform, root.key, root.path + "\\CLSID\\" + registered.clsid,
                               kKeyRead | kKeyWow64_32Key);
    if (classKey.IsOpen()) return ReadClassKey(platform, classKey, registered.clsid, kKeyWow64_32Key, owns);
  }
  return {registered.clsid, {}, {}, 0, {}};
}

const ClassRegistration* Find(const std::vector<ClassRegistration>& classes, const std::string& clsid) {
  for (const ClassRegistration& registration : classes)
    if (Lower(registration.clsid) == Lower(clsid)) return &registration;
  return nullptr;
}

}  // namespace

// MiscStatus for every aspect is the key's own value; controls often leave it
// 0 and give it for content (aspect 1), which is the one a container asks for.
ClassRegistration ReadClassKey(Platform& platform, const RegistryKey& classKey, const std::string& clsid,
                               uint32_t view, const std::function<bool(const std::string& progId)>& owns) {
  ClassRegistration described{clsid, SubValue(platform, classKey, "InprocServer32", view, "ThreadingModel"), {}, 0, {}};
  for (const char* progIdKey : {"VersionIndependentProgID", "ProgID"}) {
    const std::string progId = SubValue(platform, classKey, progIdKey, view);
    if (!progId.empty() && owns(progId)) described.progIds.push_back(progId);
  }
  described.miscStatus = Number(SubValue(platform, classKey, "MiscStatus", view));
  if (described.miscStatus == 0) described.miscStatus = Number(SubValue(platform, classKey, "MiscStatus\\1", view));
  described.tlbid = SubValue(platform, classKey, "TypeLib", view);
  return described;
}

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
