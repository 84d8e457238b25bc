#pragma once
// Where the platform tests find the test controls: beside the test program.
#include <windows.h>

#include <string>

namespace ravlin {

inline std::string ExeFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string exe = path;
  return exe.substr(0, exe.find_last_of('\\'));
}

inline std::string Fixture(const std::string& name) { return ExeFolder() + "\\fixtures\\" + name; }

// The test command says so on a host that cannot start 32-bit programs; there
// the prefix's 32-bit half never ran, so nothing of it is registered.
inline bool HostRuns32Bit() { return GetEnvironmentVariableA("RAVLIN_NO_32BIT", nullptr, 0) == 0; }

// Under qemu (the test command says so) a fault inside 32-bit code is misnamed an illegal instruction.
inline bool Emulated32Bit() {
  return sizeof(void*) == 4 && GetEnvironmentVariableA("RAVLIN_WINE32_EMULATED", nullptr, 0) != 0;
}

}  // namespace ravlin
