#pragma once
// An open registry key, closed when it goes.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/RegistryPlatform.h"

namespace ravlin {

class RegistryKey {
 public:
  // Opens subKey of parent with the given access (and registry view flags);
  // on failure the key is not open and status() says why.
  RegistryKey(RegistryPlatform& platform, RegKey parent, const std::string& subKey, uint32_t access);
  ~RegistryKey();
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  bool IsOpen() const { return key_ != nullptr; }
  int32_t status() const { return status_; }
  RegKey get() const { return key_; }

  // The names of all subkeys, in the registry's order, and when times is
  // given the last write of each; false when the enumeration failed before
  // its end (what was read is kept, and status() says why it failed).
  bool SubKeyNames(std::vector<std::string>* names, std::vector<uint64_t>* times = nullptr) const;
  // A string value (REG_SZ or REG_EXPAND_SZ, unexpanded, without its
  // terminating NULs); "" when there is none or it is of another type.
  // valueName "" is the key's default value.
  std::string StringValue(const char* valueName) const;

 private:
  RegistryPlatform& platform_;
  RegKey key_ = nullptr;
  mutable int32_t status_ = kErrorFileNotFound;
};

}  // namespace ravlin
