#pragma once
// What tells one state of a file from another: enough to notice that the file
// confirmed is no longer the file that would run.
#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace ravlin {

struct FileIdentity {
  bool found = false;  // its size and time could be read
  uint64_t size = 0;
  uint64_t lastWriteTime = 0;
  std::string company;  // its version summary, "" when it has none
  std::string version;

  bool operator==(const FileIdentity& other) const;
  bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};

// Never throws: what cannot be read stays empty. The version summary is read
// only withVersion.
FileIdentity ReadFileIdentity(Platform& platform, const std::string& path, bool withVersion);

// Whether the two paths name one file that is there, by any of its names.
bool IsSameFile(Platform& platform, const std::string& first, const std::string& second);

}  // namespace ravlin
