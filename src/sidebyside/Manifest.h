#pragma once
// The text of a program's registration-free manifest: which files beside it
// hold which type libraries and classes, so the program finds its controls
// without the registry. A pure function of what was read about them.
#include <cstdint>
#include <string>
#include <vector>

#include "inspection/TypeLibrary.h"

namespace ravlin {

// What the registry holds for a class registered to the control's own file.
struct ClassRegistration {
  std::string clsid;                 // "{...}", any case
  std::string threadingModel;        // as written there; "" when it names none
  std::vector<std::string> progIds;  // the version-independent one first
  uint32_t miscStatus = 0;           // OLEMISC bits; 0 when none
};

struct DescribedControl {
  std::string fileName;  // as it lies beside the program, "wshom.ocx"
  TypeLibrary library;   // read
  std::vector<ClassRegistration> registered;
};

struct ManifestRequest {
  std::string programFileName;  // "client.exe"
  std::vector<DescribedControl> controls;
};

// UTF-8 with its XML declaration, lines ending "\r\n".
std::string ManifestText(const ManifestRequest& request);

// OLEMISC bits as a manifest spells them: "recomposeonresize,insideout".
std::string MiscStatusWords(uint32_t miscStatus);

// What an unregistered control says of its display, as controls made by the
// common tools register it.
constexpr uint32_t kControlMiscStatus = 0x20191;

}  // namespace ravlin
