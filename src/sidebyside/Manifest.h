#pragma once
// The text of a program's registration-free manifest: which files beside it
// hold which type libraries and classes, so the program finds its controls
// without the registry. A pure function of what was read about them.
#include <cstdint>
#include <string>
#include <vector>

#include "inspection/ControlDescription.h"

namespace ravlin {

struct DescribedControl {
  std::string fileName;  // as it lies beside the program, "wshom.ocx"
  ControlDescription description;
};

struct ManifestRequest {
  std::string programFileName;  // "client.exe"
  std::vector<DescribedControl> controls;
};

// UTF-8 with its XML declaration, lines ending "\r\n".
std::string ManifestText(const ManifestRequest& request);

// OLEMISC bits as a manifest spells them: "recomposeonresize,insideout".
std::string MiscStatusWords(uint32_t miscStatus);

}  // namespace ravlin
