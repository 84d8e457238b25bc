#pragma once
// /install on the command line: a setup folder's plan listed (/list),
// carried out (/s) or undone (/s /u), told in the window's words.
#include <string>

#include "cli/SilentRequest.h"
#include "platform/Platform.h"

namespace ravlin {

struct SetupReport {
  int exitCode = 0;
  std::string text;
};

SetupReport RunSetupRequest(Platform& platform, const SilentRequest& request);

}  // namespace ravlin
