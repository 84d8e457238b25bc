#pragma once
// The registry: read, and written only where a capture of a control's
// registration needs a private key of its own. One virtual per Windows
// function, with the same arguments and results.
#include <climits>
#include <cstdint>

#include "platform/SystemTypes.h"

namespace ravlin {

// Registry keys are opaque handles, as HKEY is; the predefined roots carry
// Windows' own (sign-extended) values.
using RegKey = void*;
inline RegKey HkeyClassesRoot() { return reinterpret_cast<RegKey>(static_cast<intptr_t>(INT32_MIN)); }
inline RegKey HkeyCurrentUser() { return reinterpret_cast<RegKey>(static_cast<intptr_t>(INT32_MIN + 1)); }
inline RegKey HkeyLocalMachine() { return reinterpret_cast<RegKey>(static_cast<intptr_t>(INT32_MIN + 2)); }
inline RegKey HkeyUsers() { return reinterpret_cast<RegKey>(static_cast<intptr_t>(INT32_MIN + 3)); }
constexpr uint32_t kRegCreatedNewKey = 1;
constexpr uint32_t kKeyQueryValue = 0x0001;
constexpr uint32_t kKeyEnumerateSubKeys = 0x0008;
constexpr uint32_t kKeyRead = 0x20019;
constexpr uint32_t kKeyAllAccess = 0xF003F;
constexpr uint32_t kKeyWow64_64Key = 0x0100;
constexpr uint32_t kKeyWow64_32Key = 0x0200;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr int32_t kErrorMoreData = 234;
constexpr int32_t kErrorNoMoreItems = 259;

class RegistryPlatform {
 public:
  virtual ~RegistryPlatform() = default;

  // RegEnumKeyExA leaves out the reserved argument and the class;
  // *lastWriteTime, when asked for, is the key's last change (a FILETIME as
  // one number). RegQueryValueExA leaves out the reserved argument.
  virtual int32_t RegOpenKeyExA(RegKey key, const char* subKey, uint32_t options, uint32_t samDesired,
                                RegKey* result) = 0;
  virtual int32_t RegEnumKeyExA(RegKey key, uint32_t index, char* name, uint32_t* nameLength,
                                uint64_t* lastWriteTime) = 0;
  virtual int32_t RegQueryValueExA(RegKey key, const char* valueName, uint32_t* type, uint8_t* data,
                                   uint32_t* dataSize) = 0;
  virtual int32_t RegCloseKey(RegKey key) = 0;
  // What a capture of a control's registration needs: a private key of its
  // own, the process's roots pointed there, and the key deleted again.
  // RegCreateKeyExA leaves out the reserved argument, the class, the options
  // and the security attributes; disposition may be null.
  virtual int32_t RegCreateKeyExA(RegKey key, const char* subKey, uint32_t samDesired, RegKey* result,
                                  uint32_t* disposition) = 0;
  virtual int32_t RegOverridePredefKey(RegKey key, RegKey newKey) = 0;
  virtual int32_t RegDeleteTreeA(RegKey key, const char* subKey) = 0;
  // The time now, on the registry's clock (a FILETIME as one number).
  virtual uint64_t GetSystemTimeAsFileTime() = 0;
};

}  // namespace ravlin
