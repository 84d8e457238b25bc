#pragma once
// A control file's company name and product version, as its version block gives them.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/Platform.h"

namespace ravlin {

struct VersionSummary {
  std::optional<int32_t> readResult;  // what reading the block answered, when the read ran
  bool blockRead = false;             // the block was read: company and version are the file's
  std::string company;
  std::string version;
  // A product version that is more than spaces.
  bool HasVersion() const;
};

// Every step is guarded: a failing step is skipped, and nothing reaches the caller.
VersionSummary ReadVersionSummary(Platform& platform, const std::string& file);

}  // namespace ravlin
