// A library of the other architecture goes to that architecture's registration
// tool, run as a process under the same limit as a worker.
#include "inspection/MissingDependency.h"
#include "inspection/PlatformFile.h"
#include "platform/Probes.h"
#include "platform/ResumeNext.h"
#include "platform/Text.h"
#include "registration/Registrar.h"

namespace ravlin {

// The tool runs silently under the same limit as a worker and says how it went in its exit code.
Outcome Registrar::HandOver(const std::string& tool, Outcome outcome) {
  std::string commandLine = "\"" + tool + "\" /s " + (outcome.action == Action::Unregister ? "/u " : "") +
                            "\"" + outcome.file + "\"";
  OwnedHandle process(nullptr, HandleReleaser{&platform_});
  ResumeNext([&] {
    ProcessInformation information;
    if (!platform_.CreateProcessA(tool.c_str(), &commandLine[0], kCreateNoWindow, &information)) return;
    process.reset(information.process);
    HandleReleaser{&platform_}(information.thread);  // never needed
  });
  if (!process) {
    outcome.kind = Outcome::Kind::NoEntryPoint;
    return outcome;
  }

  const Finish finish = AwaitBounded(process.get(), &Platform::GetExitCodeProcess);
  outcome.waitResult = finish.waitResult;
  if (finish.waitResult != kWaitObject0) {
    // It runs on; its handle is closed once it has ended, as a worker's is.
    Keep(Kept{process.release(), 0, nullptr, nullptr, outcome.action, outcome.file, tool});
    outcome.kind = Outcome::Kind::TimedOut;
    return outcome;
  }
  process.reset();
  ToolEnded(outcome, tool, finish.exitCode);
  return outcome;
}

void Registrar::ToolEnded(Outcome& outcome, const std::string& tool, std::optional<uint32_t> exitCode) {
  outcome.kind = exitCode ? Outcome::Kind::HandedOver : Outcome::Kind::Completed;
  outcome.code = exitCode.value_or(0);
  // The tool could not load it either: most often a DLL it needs is missing.
  if (outcome.code == kToolLoadFailed) {
    ResumeNext([&] {
      const std::string toolFolder = tool.substr(0, tool.find_last_of('\\'));
      outcome.diagnosis.chain = FindMissingDependency(platform_, outcome.file, toolFolder);
      if (!outcome.diagnosis.chain.empty()) outcome.diagnosis.kind = LoadDiagnosis::Kind::MissingDependency;
    });
  }
}

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

}  // namespace ravlin
