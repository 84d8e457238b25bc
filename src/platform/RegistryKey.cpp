#include "platform/RegistryKey.h"

#include "platform/ResumeNext.h"

namespace ravlin {
namespace {

// Key names are at most 255 characters; in UTF-8 that is up to 3 bytes each.
constexpr uint32_t kMaxKeyNameBytes = 256 * 3 + 1;
// Most path values fit at once; a longer one is read again at its own size.
constexpr uint32_t kFirstValueBytes = 520;

}  // namespace

RegistryKey::RegistryKey(RegistryPlatform& platform, RegKey parent, const std::string& subKey,
                         uint32_t access)
    : platform_(platform) {
  RegKey opened = nullptr;
  status_ = platform_.RegOpenKeyExA(parent, subKey.c_str(), 0, access, &opened);
  if (status_ == kErrorSuccess) key_ = opened;
}

RegistryKey::~RegistryKey() {
  if (IsOpen()) ResumeNext([&] { platform_.RegCloseKey(key_); });
}

bool RegistryKey::SubKeyNames(std::vector<std::string>* names, std::vector<uint64_t>* times) const {
  names->clear();
  if (times) times->clear();
  if (!IsOpen()) return false;
  char buffer[kMaxKeyNameBytes];
  for (uint32_t index = 0;; ++index) {
    uint32_t length = kMaxKeyNameBytes;
    uint64_t written = 0;
    const int32_t status = platform_.RegEnumKeyExA(key_, index, buffer, &length, times ? &written : nullptr);
    if (status == kErrorNoMoreItems) return true;
    if (status != kErrorSuccess) {
      status_ = status;
      return false;
    }
    names->emplace_back(buffer, length < kMaxKeyNameBytes ? length : kMaxKeyNameBytes - 1);
    if (times) times->push_back(written);
  }
}

std::string RegistryKey::StringValue(const char* valueName) const {
  if (!IsOpen()) return {};
  std::string data(kFirstValueBytes, '\0');
  uint32_t type = 0;
  uint32_t size = kFirstValueBytes;
  int32_t status = platform_.RegQueryValueExA(key_, valueName, &type,
                                              reinterpret_cast<uint8_t*>(&data[0]), &size);
  if (status == kErrorMoreData) {  // size is what the value needs now
    data.assign(size, '\0');
    status = platform_.RegQueryValueExA(key_, valueName, &type,
                                        reinterpret_cast<uint8_t*>(&data[0]), &size);
  }
  if (status != kErrorSuccess || (type != kRegSz && type != kRegExpandSz)) return {};
  // A value may be stored with or without its NUL, or with several.
  data.resize(size < data.size() ? size : data.size());
  const size_t end = data.find('\0');
  if (end != std::string::npos) data.resize(end);
  return data;
}

}  // namespace ravlin
