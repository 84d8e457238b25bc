#pragma once
// The Visual Basic runtime a program imports, and whether the loader would
// find it: beside the program or in the 32-bit system folder. Also whether
// this runs under Wine, where the ways to get what is missing differ.
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace ravlin {

struct RuntimeState {
  std::string name;     // "MSVBVM60.DLL" or "MSVBVM50.DLL" as the program imports it; "" when neither
  std::string foundAt;  // "" when it is in neither folder
  bool IsVersion5() const;
};

RuntimeState ReadRuntimeState(Platform& platform, const std::vector<std::string>& imports,
                              const std::string& programFolder, const std::string& systemFolder);

// Wine's ntdll.dll exports wine_get_version; Windows' does not.
bool RunsUnderWine(Platform& platform);

}  // namespace ravlin
