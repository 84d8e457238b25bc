#pragma once
// The fake platform's registry: one map of key path -> values per view.
// Paths start with the root's name ("HKCR\\CLSID\\{...}") and are matched
// without regard to case; values are strings, keyed by name ("" the default).
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/RegistryPlatform.h"

namespace ravlin {

class FakeRegistry {
 public:
  struct FakeValue {
    uint32_t type;
    std::string data;
  };
  using FakeKeyValues = std::map<std::string, FakeValue>;
  std::map<std::string, FakeKeyValues> registry32, registry64;
  // Whichever view a root key opened without a view flag reads.
  bool programIs64 = true;
  // Enumerating any key fails from this index on.
  uint32_t failEnumerationAt = UINT32_MAX;

  std::map<std::string, FakeKeyValues>& Registry(bool is64) { return is64 ? registry64 : registry32; }
  void SetRegistryValue(bool is64, const std::string& keyPath, const std::string& name, const std::string& data,
                        uint32_t type = kRegSz);
  size_t OpenRegistryKeys() const { return openKeys_.size(); }

 protected:
  // What the platform's registry calls answer, with their arguments.
  int32_t OpenKeyAt(RegKey key, const char* subKey, uint32_t samDesired, RegKey* result);
  int32_t EnumKeyAt(RegKey key, uint32_t index, char* name, uint32_t* nameLength, uint64_t* lastWriteTime);
  int32_t QueryValueAt(RegKey key, const char* valueName, uint32_t* type, uint8_t* data, uint32_t* dataSize);
  int32_t CloseKey(RegKey key) { return openKeys_.erase(key) ? kErrorSuccess : 6; }

 private:
  struct OpenKey {
    bool is64;
    std::string path;
  };
  bool ParentKey(RegKey key, uint32_t samDesired, OpenKey* parent);
  bool KeyExists(bool is64, const std::string& path);
  // The names of a key's direct subkeys, in the map's order.
  std::vector<std::string> SubKeys(bool is64, const std::string& path);

  std::map<RegKey, OpenKey> openKeys_;
  intptr_t nextKey_ = 0;
};

}  // namespace ravlin
