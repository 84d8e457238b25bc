#include "platform/ResumeNext.h"
#include "window/frmRavlin.h"

namespace ravlin {

bool frmRavlin::is64() {
  SystemInfo info{};
  platform_.GetNativeSystemInfo(&info);
  const uint16_t architecture = info.wProcessorArchitecture;
  return architecture == kArchitectureAmd64 || architecture == kArchitectureIa64;
}

std::string frmRavlin::GetSystemPath() {
  constexpr uint32_t kCapacity = 260;
  std::string buffer(kCapacity, '\0');
  if (platform_.GetSystemDirectoryA(&buffer[0], kCapacity) == 0) return {};
  // A buffer too small is left unwritten and so cuts to "".
  const size_t end = buffer.find('\0');
  if (end == std::string::npos) return {};
  return buffer.substr(0, end);
}

bool frmRavlin::IsFileThere(const std::string& inFileSpec) {
  int fileNumber = 0;
  try {
    fileNumber = toolkit_.FreeFile();
    toolkit_.OpenForInput(fileNumber, inFileSpec);
  } catch (const std::exception&) {
    return false;
  }
  ResumeNext([&] { toolkit_.Close(fileNumber); });
  return true;
}

}  // namespace ravlin
