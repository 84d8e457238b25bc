#pragma once
// The whole platform, for code that needs several of its concerns: files,
// processes and modules, the registry, windows. A routine that needs only
// one takes that one.
#include "platform/FilePlatform.h"
#include "platform/ProcessPlatform.h"
#include "platform/RegistryPlatform.h"
#include "platform/WindowPlatform.h"

namespace ravlin {

class Platform : public FilePlatform, public ProcessPlatform, public RegistryPlatform, public WindowPlatform {};

}  // namespace ravlin
