#include "platform/Probes.h"

#include "platform/ResumeNext.h"

namespace ravlin {

bool is64(Platform& platform) {
  SystemInfo info{};
  platform.GetNativeSystemInfo(&info);
  const uint16_t architecture = info.wProcessorArchitecture;
  return architecture == kArchitectureAmd64 || architecture == kArchitectureIa64;
}

std::string GetSystemPath(Platform& platform) {
  constexpr uint32_t kCapacity = 260;
  std::string buffer(kCapacity, '\0');
  if (platform.GetSystemDirectoryA(&buffer[0], kCapacity) == 0) return {};
  // A buffer too small is left unwritten and so cuts to "".
  const size_t end = buffer.find('\0');
  if (end == std::string::npos) return {};
  return buffer.substr(0, end);
}

bool IsFileThere(Toolkit& toolkit, const std::string& inFileSpec) {
  int fileNumber = 0;
  try {
    fileNumber = toolkit.FreeFile();
    toolkit.OpenForInput(fileNumber, inFileSpec);
  } catch (const std::exception&) {
    return false;
  }
  ResumeNext([&] { toolkit.Close(fileNumber); });
  return true;
}

}  // namespace ravlin
