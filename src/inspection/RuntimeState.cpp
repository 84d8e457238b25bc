#include "inspection/RuntimeState.h"

#include "inspection/PlatformFile.h"
#include "platform/Text.h"

namespace ravlin {

bool RuntimeState::IsVersion5() const { return Upper(name) == "MSVBVM50.DLL"; }

RuntimeState ReadRuntimeState(Platform& platform, const std::vector<std::string>& imports,
                              const std::string& programFolder, const std::string& systemFolder) {
  RuntimeState runtime;
  for (const std::string& import : imports) {
    const std::string upper = Upper(import);
    if (upper != "MSVBVM60.DLL" && upper != "MSVBVM50.DLL") continue;
    runtime.name = import;
    break;
  }
  if (runtime.name.empty()) return runtime;
  for (const std::string& folder : {programFolder, systemFolder}) {
    const std::string candidate = folder + "\\" + runtime.name;
    if (folder.empty() || !IsOrdinaryFile(platform, candidate)) continue;
    runtime.foundAt = candidate;
    break;
  }
  return runtime;
}

bool RunsUnderWine(Platform& platform) {
  return platform.GetLoadedModuleExport("ntdll.dll", "wine_get_version") != nullptr;
}

}  // namespace ravlin
