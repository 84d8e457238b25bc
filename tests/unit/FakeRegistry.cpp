#include "FakeRegistry.h"

#include <algorithm>
#include <cstring>

#include "platform/Text.h"

namespace ravlin {

void FakeRegistry::SetRegistryValue(bool is64, const std::string& keyPath, const std::string& name,
                                    const std::string& data, uint32_t type) {
  Registry(is64)[Lower(keyPath)][name] = {type, data};
}

int32_t FakeRegistry::OpenKeyAt(RegKey key, const char* subKey, uint32_t samDesired, RegKey* result) {
  *result = nullptr;
  OpenKey parent;
  if (!ParentKey(key, samDesired, &parent)) return 6;  // ERROR_INVALID_HANDLE
  const std::string path = Lower(*subKey ? parent.path + "\\" + subKey : parent.path);
  if (!KeyExists(parent.is64, path)) return kErrorFileNotFound;
  *result = reinterpret_cast<RegKey>(static_cast<intptr_t>(0xE000 + nextKey_++));
  openKeys_[*result] = {parent.is64, path};
  return kErrorSuccess;
}

int32_t FakeRegistry::EnumKeyAt(RegKey key, uint32_t index, char* name, uint32_t* nameLength,
                                uint64_t* lastWriteTime) {
  if (index >= failEnumerationAt) return 5;  // ERROR_ACCESS_DENIED
  auto it = openKeys_.find(key);
  if (it == openKeys_.end()) return 6;
  const std::vector<std::string> names = SubKeys(it->second.is64, it->second.path);
  if (index >= names.size()) return kErrorNoMoreItems;
  const std::string& found = names[index];
  if (found.size() + 1 > *nameLength) return kErrorMoreData;
  std::memcpy(name, found.c_str(), found.size() + 1);
  *nameLength = static_cast<uint32_t>(found.size());
  if (lastWriteTime) *lastWriteTime = 0;  // the fake's keys are all as old as its clock
  return kErrorSuccess;
}

int32_t FakeRegistry::QueryValueAt(RegKey key, const char* valueName, uint32_t* type, uint8_t* data,
                                   uint32_t* dataSize) {
  auto it = openKeys_.find(key);
  if (it == openKeys_.end()) return 6;
  const FakeKeyValues& values = Registry(it->second.is64)[it->second.path];
  auto value = values.find(valueName ? valueName : "");
  if (value == values.end()) return kErrorFileNotFound;
  const uint32_t needed = static_cast<uint32_t>(value->second.data.size() + 1);
  if (type) *type = value->second.type;
  if (!dataSize) return kErrorSuccess;
  const uint32_t room = *dataSize;
  *dataSize = needed;
  if (!data) return kErrorSuccess;
  if (room < needed) return kErrorMoreData;
  std::memcpy(data, value->second.data.c_str(), needed);
  return kErrorSuccess;
}

bool FakeRegistry::ParentKey(RegKey key, uint32_t samDesired, OpenKey* parent) {
  const bool viewGiven = (samDesired & (kKeyWow64_32Key | kKeyWow64_64Key)) != 0;
  const bool is64 = viewGiven ? (samDesired & kKeyWow64_64Key) != 0 : programIs64;
  const std::pair<RegKey, const char*> roots[] = {
      {HkeyClassesRoot(), "hkcr"}, {HkeyCurrentUser(), "hkcu"}, {HkeyLocalMachine(), "hklm"}};
  for (const auto& root : roots)
    if (key == root.first) {
      *parent = {is64, root.second};
      return true;
    }
  auto it = openKeys_.find(key);
  if (it == openKeys_.end()) return false;
  *parent = it->second;  // beneath an opened key nothing is redirected again
  return true;
}

bool FakeRegistry::KeyExists(bool is64, const std::string& path) {
  if (path.find('\\') == std::string::npos) return true;  // a root
  const auto& keys = Registry(is64);
  if (keys.count(path)) return true;
  auto below = keys.lower_bound(path + "\\");
  return below != keys.end() && below->first.rfind(path + "\\", 0) == 0;
}

std::vector<std::string> FakeRegistry::SubKeys(bool is64, const std::string& path) {
  std::vector<std::string> names;
  const std::string prefix = path + "\\";
  for (const auto& entry : Registry(is64)) {
    if (entry.first.rfind(prefix, 0) != 0) continue;
    const std::string rest = entry.first.substr(prefix.size());
    const std::string name = rest.substr(0, rest.find('\\'));
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  return names;
}

}  // namespace ravlin
