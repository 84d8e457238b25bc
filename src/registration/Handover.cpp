// A library built for the other architecture of this machine cannot be
// loaded here; the platform's registration tool of that architecture can.
#include <string>

#include "inspection/PlatformFile.h"
#include "registration/Engine.h"
#include "window/frmRavlin.h"

namespace ravlin {
namespace {

// A folder the platform names through a buffer; "" when it has none.
template <typename Query>
std::string FolderFrom(Query query) {
  char buffer[260] = {};
  const uint32_t length = query(buffer, static_cast<uint32_t>(sizeof(buffer)));
  if (length == 0 || length >= sizeof(buffer)) return {};
  return std::string(buffer, length);
}

}  // namespace

std::string OtherArchitectureTool(Platform& platform, uint16_t machine, bool programIs64) {
  std::string folder;
  if (programIs64 && machine == kMachineI386) {
    folder = FolderFrom([&](char* b, uint32_t n) { return platform.GetSystemWow64DirectoryA(b, n); });
  } else if (!programIs64 && machine == kMachineAmd64) {
    // A 32-bit program sees the native system folder under this alias.
    const std::string windows =
        FolderFrom([&](char* b, uint32_t n) { return platform.GetWindowsDirectoryA(b, n); });
    if (!windows.empty()) folder = windows + "\\Sysnative";
  }
  if (folder.empty()) return {};
  const std::string tool = folder + "\\regsvr32.exe";
  const uint32_t attributes = platform.GetFileAttributesA(tool.c_str());
  if (attributes == kInvalidFileAttributes || (attributes & kFileAttributeDirectory) != 0) return {};
  return tool;
}

std::string ToolOutcome(uint32_t exitCode) {
  switch (exitCode) {
    case 0: return "Process completed";
    case 3: return "Failure loading control DLL";
    case 4: return "Process failed in obtaining entry point or creating thread.";
    case 5: return "Process failed: the control's own registration reported an error.";
    default:
      return "Process failed: the registration tool ended with code " + std::to_string(exitCode) + ".";
  }
}

// The loader refused the file: a library of the other architecture goes to
// that architecture's tool; anything else is a load failure.
void frmRavlin::ReportLoadFailure(const std::string& checkedPath, const std::string& inCommand) {
  std::string tool;
  ResumeNext([&] {
    if (checkedPath.empty()) return;
    const PeHeaders headers = ReadPeHeadersOf(platform_, checkedPath);
    if (headers.isImage) tool = OtherArchitectureTool(platform_, headers.machine, kProgramIs64);
  });
  if (tool.empty()) return Tell(toolkit_, "Failure loading control DLL");
  HandOver(tool, checkedPath, inCommand);
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
    KeepWorker(process.release(), nullptr, nullptr);
    Point(toolkit_, MousePointer::Default);
    return Tell(toolkit_, "Process failed in signaled state or time-out.");
  }

  uint32_t exitCode = 0;
  bool exitCodeKnown = false;
  ResumeNext([&] { exitCodeKnown = platform_.GetExitCodeProcess(process.get(), &exitCode) != 0; });
  process.reset();
  Point(toolkit_, MousePointer::Default);
  Tell(toolkit_, exitCodeKnown ? ToolOutcome(exitCode) : "Process completed");
}

}  // namespace ravlin
