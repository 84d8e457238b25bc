#include "sidebyside/ClassRegistrations.h"

#include <cstdlib>

#include "inspection/PeImage.h"
#include "inspection/RegistrationState.h"
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
  ClassRegistration details{registered.clsid, {}, {}, 0};
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

}  // namespace

std::vector<ClassRegistration> ReadClassRegistrations(Platform& platform, const std::string& filePath) {
  std::vector<ClassRegistration> classes;
  const RegistrationState state = ReadRegistrationState(platform, filePath, kMachineI386);
  for (const RegisteredClass& registered : state.classes) classes.push_back(Read(platform, registered));
  return classes;
}

}  // namespace ravlin
