// A setup's EXE server registers itself when run with /RegServer: started
// without a window, waited for as a control's export is.
#include "platform/ResumeNext.h"
#include "registration/Registrar.h"

namespace ravlin {

Outcome Registrar::RunServerProgram(const std::string& path, Action action, const std::function<void()>& onBusy) {
  Outcome outcome;
  outcome.action = action;
  outcome.file = path;
  std::string commandLine = "\"" + path + "\" " + (action == Action::Register ? "/RegServer" : "/UnregServer");
  OwnedHandle process(nullptr, HandleReleaser{&platform_});
  ResumeNext([&] {
    ProcessInformation information;
    if (!platform_.CreateProcessA(path.c_str(), &commandLine[0], kCreateNoWindow, &information)) return;
    process.reset(information.process);
    HandleReleaser{&platform_}(information.thread);
  });
  if (!process) {
    outcome.kind = Outcome::Kind::NoEntryPoint;
    return outcome;
  }
  ResumeNext(onBusy);
  const Finish finish = AwaitBounded(process.get(), &Platform::GetExitCodeProcess);
  outcome.waitResult = finish.waitResult;
  if (finish.waitResult != kWaitObject0) {
    Keep(Kept{process.release(), 0, nullptr, nullptr, action, path, path});
    outcome.kind = Outcome::Kind::TimedOut;
    return outcome;
  }
  outcome.code = finish.exitCode.value_or(0);
  outcome.kind = outcome.code == 0 ? Outcome::Kind::Completed : Outcome::Kind::ExportFailed;
  return outcome;
}

}  // namespace ravlin
