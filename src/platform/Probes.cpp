#include "platform/Probes.h"

#include <algorithm>

#include "platform/Owned.h"
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

bool ProcessHasEnded(Platform& platform, uint32_t processId) {
  const OwnedHandle process(platform.OpenProcess(kProcessQueryLimitedInformation, 0, processId),
                            HandleReleaser{&platform});
  if (!process) return platform.GetLastError() == kErrorInvalidParameter;
  uint32_t code = 0;
  return platform.GetExitCodeProcess(process.get(), &code) && code != kStillActive;
}

std::string SystemDescription(Platform& platform, uint32_t code) {
  char buffer[1024] = {};
  uint32_t length = 0;
  ResumeNext([&] {
    length = platform.FormatMessageA(kFormatMessageFromSystem | kFormatMessageIgnoreInserts, nullptr,
                                     code, 0, buffer, sizeof(buffer), nullptr);
  });
  std::string text(buffer, std::min<size_t>(length, sizeof(buffer)));
  const size_t end = text.find_last_not_of("\r\n ");
  text.erase(end == std::string::npos ? 0 : end + 1);
  return text;
}

}  // namespace ravlin
