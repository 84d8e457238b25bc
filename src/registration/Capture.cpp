// The caller's side of a capture: which copy of the program to start, the
// private key it writes into, the limit, and what the control left there.
#include "registration/Capture.h"

#include <cstdlib>

#include "inspection/PeImage.h"
#include "inspection/PlatformFile.h"
#include "platform/Probes.h"
#include "platform/RegistryKey.h"
#include "platform/Text.h"
#include "registration/Outcome.h"

namespace ravlin {
namespace {

using Failure = ControlDescription::CaptureFailure;

// Where the capture's roots land, and where each keeps its classes.
const char* const kClassTables[] = {"HKCR", "HKLM\\Software\\Classes", "HKCU\\Software\\Classes"};

bool NamesFile(const std::string& server, const std::string& controlPath) {
  return !server.empty() && Lower(FileNameOf(WithoutEnclosingQuotes(server))) == Lower(FileNameOf(controlPath));
}

std::string SubValue(Platform& platform, const RegistryKey& key, const std::string& subKey, const char* name = "") {
  return RegistryKey(platform, key.get(), subKey, kKeyRead).StringValue(name);
}

// Whether the ProgID, in any of the caught tables, names the class back:
// two classes may both claim one, and only its owner may declare it.
bool OwnsProgId(Platform& platform, const RegistryKey& caught, const std::string& progId, const std::string& clsid) {
  for (const char* table : kClassTables) {
    const RegistryKey root(platform, caught.get(), table, kKeyRead);
    if (Lower(SubValue(platform, root, progId + "\\CLSID")) == Lower(clsid)) return true;
  }
  return false;
}

// A class the control registered to itself, with what a manifest says of it.
void ReadClass(Platform& platform, const RegistryKey& caught, const RegistryKey& table, const std::string& clsid,
               const std::string& controlPath, ControlDescription& description) {
  const RegistryKey key(platform, table.get(), clsid, kKeyRead);
  if (!NamesFile(SubValue(platform, key, "InprocServer32"), controlPath) || description.Serves(clsid)) return;
  description.classes.push_back(ReadClassKey(platform, key, clsid, 0, [&](const std::string& progId) {
    return OwnsProgId(platform, caught, progId, clsid);
  }));
}

// "2.a" as the registry names a version: "2.10".
std::string DecimalVersion(const std::string& hex) {
  const size_t dot = hex.find('.');
  if (dot == std::string::npos) return {};
  return std::to_string(std::strtoul(hex.substr(0, dot).c_str(), nullptr, 16)) + "." +
         std::to_string(std::strtoul(hex.substr(dot + 1).c_str(), nullptr, 16));
}

// Whether a locale of the library's version (its numbered subkeys: "0",
// "409", ...) registers the control's file for either platform.
bool NamesFileInAnyLocale(Platform& platform, const RegistryKey& version, const std::string& controlPath) {
  std::vector<std::string> locales;
  version.SubKeyNames(&locales);
  for (const std::string& locale : locales) {
    if (locale.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) continue;  // FLAGS, HELPDIR
    for (const char* kind : {"\\win32", "\\win64"})
      if (NamesFile(SubValue(platform, version, locale + kind), controlPath)) return true;
  }
  return false;
}

// The type libraries registered to the control: their IDs, versions and flags.
void ReadLibraries(Platform& platform, const RegistryKey& root, const std::string& controlPath,
                   ControlDescription& description) {
  const RegistryKey libraries(platform, root.get(), "TypeLib", kKeyRead);
  std::vector<std::string> libids;
  libraries.SubKeyNames(&libids);
  for (const std::string& libid : libids) {
    const RegistryKey library(platform, libraries.get(), libid, kKeyRead);
    std::vector<std::string> versions;
    library.SubKeyNames(&versions);
    for (const std::string& version : versions) {
      if (!NamesFileInAnyLocale(platform, RegistryKey(platform, library.get(), version, kKeyRead), controlPath))
        continue;
      const auto flags = std::strtoul(SubValue(platform, library, version + "\\FLAGS").c_str(), nullptr, 10);
      description.libraries.push_back({libid, DecimalVersion(version), static_cast<uint16_t>(flags)});
      break;
    }
  }
}

void ReadCaught(Platform& platform, const RegistryKey& caught, const std::string& controlPath,
                ControlDescription& description) {
  for (const char* table : kClassTables) {
    const RegistryKey root(platform, caught.get(), table, kKeyRead);
    const RegistryKey classes(platform, root.get(), "CLSID", kKeyRead);
    std::vector<std::string> clsids;
    classes.SubKeyNames(&clsids);
    for (const std::string& clsid : clsids) ReadClass(platform, caught, classes, clsid, controlPath, description);
    if (description.libraries.empty()) ReadLibraries(platform, root, controlPath, description);
  }
}

// This program when it is built for machine, otherwise the other build
// beside it, as the download has them; "" when neither is.
std::string ProgramFor(Platform& platform, const std::string& programPath, uint16_t machine) {
  const std::string folder = FolderOf(programPath);
  for (const std::string& candidate : {programPath, folder + "\\ravlin.exe", folder + "\\ravlin-x64.exe"}) {
    const std::optional<PeHeaders> headers = ReadPeHeadersOf(platform, candidate);
    if (headers && headers->isImage && headers->machine == machine) return candidate;
  }
  return {};
}

// Runs the copy under the limit, sealed in a job that ends it with this
// program and lets it start nothing; its exit code, or why there is none.
Failure RunCopy(Platform& platform, const std::string& program, const std::string& arguments, uint32_t* code) {
  std::string commandLine = "\"" + program + "\" " + arguments;
  ProcessInformation information;
  Handle sealed = nullptr;
  if (!platform.CreateProcessInJobA(program.c_str(), &commandLine[0], kCreateNoWindow, &information, &sealed))
    return Failure::NotStarted;
  const OwnedHandle job(sealed, HandleReleaser{&platform});
  const OwnedHandle process(information.process, HandleReleaser{&platform});
  HandleReleaser{&platform}(information.thread);
  if (platform.WaitKeepingWindowAlive(process.get(), kWaitLimitMs) != kWaitObject0) {
    platform.TerminateProcess(process.get(), kWaitTimeout);
    platform.WaitForSingleObject(process.get(), kWaitLimitMs);  // its writes end before the key goes
    return Failure::TimedOut;
  }
  if (!platform.GetExitCodeProcess(process.get(), code)) return Failure::NotStarted;
  if (*code == kStoppedStartingAProgram) return Failure::StartedProgram;
  return static_cast<int32_t>(*code) < 0 ? Failure::Refused : Failure::None;
}

constexpr char kKeyPrefix[] = "RavlinCapture-";

// The process a private key's name carries: "RavlinCapture-<process>-{GUID}"; 0 for another name.
uint32_t ProcessOfKey(const std::string& name) {
  if (name.compare(0, sizeof kKeyPrefix - 1, kKeyPrefix) != 0) return 0;
  const size_t end = name.find('-', sizeof kKeyPrefix - 1);
  const std::string digits = name.substr(sizeof kKeyPrefix - 1, end - (sizeof kKeyPrefix - 1));
  if (end == std::string::npos || digits.empty() || digits.size() > 10 ||
      digits.find_first_not_of("0123456789") != std::string::npos)
    return 0;
  return static_cast<uint32_t>(std::strtoul(digits.c_str(), nullptr, 10));
}

// A capture whose program was ended before it could delete its key left it behind.
void DeleteEndedCaptureKeys(Platform& platform) {
  std::vector<std::string> names;
  RegistryKey(platform, HkeyCurrentUser(), "Software", kKeyRead).SubKeyNames(&names);
  for (const std::string& name : names) {
    const uint32_t process = ProcessOfKey(name);
    if (process != 0 && ProcessHasEnded(platform, process))
      platform.RegDeleteTreeA(HkeyCurrentUser(), ("Software\\" + name).c_str());
  }
}

// A key no other run can have: this process and a new GUID; "" when it cannot be made new.
std::string NewPrivateKey(Platform& platform) {
  std::string guid;
  if (platform.CoCreateGuid(&guid) < 0 || guid.empty()) return {};
  const std::string name =
      std::string("Software\\") + kKeyPrefix + std::to_string(platform.GetCurrentProcessId()) + "-" + guid;
  RegKey created = nullptr;
  uint32_t disposition = 0;
  if (platform.RegCreateKeyExA(HkeyCurrentUser(), name.c_str(), kKeyAllAccess, &created, &disposition) !=
      kErrorSuccess)
    return {};
  platform.RegCloseKey(created);
  return disposition == kRegCreatedNewKey ? name : std::string();
}

}  // namespace

std::string OwnProgramPath(Platform& platform) {
  return BufferedText([&](char* buffer, uint32_t size) { return platform.GetModuleFileNameA(nullptr, buffer, size); });
}

ControlDescription CaptureRegistration(Platform& platform, const std::string& programPath,
                                       const std::string& controlPath) {
  ControlDescription description;
  const std::optional<PeHeaders> headers = ReadPeHeadersOf(platform, controlPath);
  const std::string program = ProgramFor(platform, programPath, headers ? headers->machine : 0);
  if (program.empty()) {
    description.captureFailure = Failure::NoProgram;
    return description;
  }
  DeleteEndedCaptureKeys(platform);
  const std::string keyName = NewPrivateKey(platform);
  if (keyName.empty()) {
    description.captureFailure = Failure::NotStarted;
    return description;
  }
  description.captureFailure =
      RunCopy(platform, program, "/capture " + keyName + " \"" + controlPath + "\"", &description.captureCode);
  if (description.captureFailure == Failure::None) {
    const RegistryKey caught(platform, HkeyCurrentUser(), keyName, kKeyRead);
    ReadCaught(platform, caught, controlPath, description);
    if (!description.classes.empty()) description.source = ControlDescription::Source::Capture;
    else description.captureFailure = Failure::NothingRegistered;
  }
  platform.RegDeleteTreeA(HkeyCurrentUser(), keyName.c_str());
  return description;
}

ControlDescription DescribeControl(Platform& platform, const std::string& programPath,
                                   const std::string& controlPath) {
  const ControlDescription caught = CaptureRegistration(platform, programPath, controlPath);
  if (caught.source == ControlDescription::Source::Capture) return caught;
  ControlDescription read = DescribeFromTypeLibrary(platform, controlPath);
  read.captureFailure = caught.captureFailure;
  read.captureCode = caught.captureCode;
  return read;
}

}  // namespace ravlin
