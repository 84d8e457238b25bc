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

}  // namespace ravlin
