#pragma once
// Owners of what the program acquires through the platform; releasing never throws.
#include <memory>

#include "platform/Platform.h"
#include "platform/ResumeNext.h"

namespace ravlin {

struct LibraryFreer {
  Platform* platform;
  void operator()(Module module) const {
    ResumeNext([&] { platform->FreeLibrary(module); });
  }
};
struct HandleReleaser {
  Platform* platform;
  void operator()(Handle handle) const {
    ResumeNext([&] { platform->CloseHandle(handle); });
  }
};
using OwnedLibrary = std::unique_ptr<void, LibraryFreer>;
using OwnedHandle = std::unique_ptr<void, HandleReleaser>;

}  // namespace ravlin
