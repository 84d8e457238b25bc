// A library built for the other architecture of this machine cannot be
// loaded here; the platform's registration tool of that architecture can.
#include <optional>
#include <string>

#include "inspection/MissingDependency.h"
#include "inspection/PlatformFile.h"
#include "platform/Text.h"
#include "registration/Engine.h"
#include "window/frmRavlin.h"

namespace ravlin {
namespace {

// Why the loader refused the file, from its error and the file's own headers
// (none when it could not be read). The system folder is asked for only when
// a missing DLL is looked for.
template <typename SystemFolder>
std::string LoadFailureReason(Platform& platform, SystemFolder systemFolder,
                              const std::string& checkedPath, const std::optional<PeHeaders>& headers,
                              uint32_t loadError) {
  if (headers) {
    if (!headers->isImage) return "The file is not a program library.";
    if (headers->machine != kProgramMachine)
      return "The file is a library for " + MachineName(headers->machine) +
             " processors, which this program cannot load.";
    if (loadError == kErrorModNotFound) {
      const std::vector<std::string> chain = FindMissingDependency(platform, checkedPath, systemFolder());
      if (!chain.empty()) return MissingDependencyText(chain);
    }
  }
  if (loadError == 0) return {};  // the loader said nothing
  const std::string description = SystemDescription(platform, loadError);
  return "Error " + std::to_string(loadError) + (description.empty() ? "." : ": " + description);
}

}  // namespace

std::string OtherArchitectureTool(Platform& platform, uint16_t machine, bool programIs64) {
  std::string folder;
  if (programIs64 && machine == kMachineI386) {
    folder = BufferedText([&](char* b, uint32_t n) { return platform.GetSystemWow64DirectoryA(b, n); });
  } else if (!programIs64 && machine == kMachineAmd64) {
    // A 32-bit program sees the native system folder under this alias.
    const std::string windows =
        BufferedText([&](char* b, uint32_t n) { return platform.GetWindowsDirectoryA(b, n); });
    if (!windows.empty()) folder = windows + "\\Sysnative";
  }
  if (folder.empty()) return {};
  const std::string tool = folder + "\\regsvr32.exe";
  return IsOrdinaryFile(platform, tool) ? tool : std::string();
}

// The loader refused the file: a library of the other architecture goes to
// that architecture's tool; anything else is a load failure, with its reason.
void frmRavlin::ReportLoadFailure(const std::string& checkedPath, uint32_t loadError,
                                  const std::string& inCommand) {
  std::optional<PeHeaders> headers;
  ResumeNext([&] {
    if (!checkedPath.empty()) headers = ReadPeHeadersOf(platform_, checkedPath);
  });
  std::string tool;
  ResumeNext([&] {
    if (headers && headers->isImage) tool = OtherArchitectureTool(platform_, headers->machine, kProgramIs64);
  });
  if (!tool.empty()) return HandOver(tool, checkedPath, inCommand);
  std::string reason;
  ResumeNext([&] { reason = LoadFailureReason(platform_, [this] { return GetSystemPath(); }, checkedPath, headers,
                               loadError); });
  Tell(toolkit_, "Failure loading control DLL" + (reason.empty() ? "" : "\r\n\r\n" + reason));
}

// The tool runs silently under the same limit as a worker and says how it went in its exit code.
void frmRavlin::HandOver(const std::string& tool, const std::string& fullPath,
                         const std::string& inCommand) {
  const char* exportName = ExportFor(inCommand);
  if (!exportName) return Tell(toolkit_, "Unknown command handle");
  const bool unregister = std::string(exportName) == kUnregisterExport;
  std::string commandLine = "\"" + tool + "\" /s " + (unregister ? "/u " : "") + "\"" + fullPath + "\"";

  Point(toolkit_, MousePointer::Hourglass);
  OwnedHandle process(nullptr, HandleReleaser{&platform_});
  ResumeNext([&] {
    ProcessInformation information;
    if (!platform_.CreateProcessA(tool.c_str(), &commandLine[0], kCreateNoWindow, &information))
      return;
    process.reset(information.process);
    HandleReleaser{&platform_}(information.thread);  // never needed
  });
  if (!process) {
    Point(toolkit_, MousePointer::Default);
    return Tell(toolkit_, "Process failed in obtaining entry point or creating thread.");
  }

  uint32_t waitResult = kWaitFailed;
  ResumeNext([&] { waitResult = platform_.WaitForSingleObject(process.get(), kWaitLimitMs); });
  mApiResult = waitResult;
  if (waitResult != kWaitObject0) {
    // It runs on; its handle is closed once it has ended, as a worker's is.
    KeepWorker(process.release(), 0, nullptr, nullptr);
    Point(toolkit_, MousePointer::Default);
    return Tell(toolkit_, TimeOutText());
  }

  uint32_t exitCode = 0;
  bool exitCodeKnown = false;
  ResumeNext([&] { exitCodeKnown = platform_.GetExitCodeProcess(process.get(), &exitCode) != 0; });
  process.reset();
  Point(toolkit_, MousePointer::Default);
  std::string outcome = exitCodeKnown ? ToolOutcome(exitCode) : "Process completed";
  // The tool could not load it either: most often a DLL it needs is missing.
  if (exitCodeKnown && exitCode == kToolLoadFailed) {
    ResumeNext([&] {
      const std::string toolFolder = tool.substr(0, tool.find_last_of('\\'));
      const std::vector<std::string> chain = FindMissingDependency(platform_, fullPath, toolFolder);
      if (!chain.empty()) outcome += "\r\n\r\n" + MissingDependencyText(chain);
    });
  }
  Tell(toolkit_, outcome);
}

}  // namespace ravlin
