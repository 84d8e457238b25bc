#pragma once
// Runs one action on one control file and returns its outcome. A control that
// is still running at the limit, or that crashed, is kept here: its library
// stays loaded while it may run, and for good once it has crashed.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "inspection/PeImage.h"
#include "inspection/RegistrationState.h"
#include "platform/Platform.h"
#include "registration/Outcome.h"
#include "registration/Worker.h"

namespace ravlin {

constexpr bool kProgramIs64 = sizeof(void*) == 8;
constexpr uint16_t kProgramMachine = kProgramIs64 ? kMachineAmd64 : kMachineI386;

class Registrar {
 public:
  explicit Registrar(Platform& platform);
  ~Registrar();
  Registrar(const Registrar&) = delete;
  Registrar& operator=(const Registrar&) = delete;

  // A read of the file begun ahead of the run, asked for once the control
  // said yes: it spares the read after a yes every class that cannot have changed.
  using ReadBefore = std::function<std::optional<ReadBasis>()>;

  // onBusy runs once something is about to run, before the wait. Never throws.
  Outcome Run(const std::string& fileSpec, Action action, const std::function<void()>& onBusy,
              const ReadBefore& before = nullptr);
  // A program that registers itself (an EXE server) run with /RegServer or
  // /UnregServer under the same limit: Completed when it ended with 0,
  // ExportFailed with its exit code otherwise. Never throws.
  Outcome RunServerProgram(const std::string& path, Action action, const std::function<void()>& onBusy);

  // Closes what has ended of the kept workers and tools, releasing their
  // libraries; the outcome of each waits for TakeLate.
  void ReleaseEnded();
  size_t RunningCount() const { return kept_.size(); }
  // The outcomes of kept runs that have ended since the last call, oldest first.
  std::vector<Outcome> TakeLate();

 private:
  // A worker thread or a registration tool that outlived its wait. A tool has
  // no library and no job.
  struct Kept {
    Handle waitable;
    uint32_t threadId;
    Module library;
    std::unique_ptr<WorkerJob> job;
    Action action;
    std::string file;
    std::string tool;  // the registration tool's path; "" for a worker
  };
  // What became of a started thread or process by the limit.
  struct Finish {
    uint32_t waitResult = kWaitFailed;
    std::optional<uint32_t> exitCode;  // when it ended and the code could be read
  };

  Outcome RunAction(const std::string& fileSpec, Action action, const std::function<void()>& onBusy);
  // What the control left in the registry, once it said yes.
  void ReadStateAfter(Outcome& outcome, const ReadBefore& before);
  Outcome RunWorker(OwnedLibrary library, Proc entryPoint, Outcome outcome);
  Outcome AfterLoadFailure(const std::string& checkedPath, const std::optional<PeHeaders>& headers,
                           uint32_t loadError, Outcome outcome, const std::function<void()>& onBusy);
  Outcome HandOver(const std::string& tool, Outcome outcome);
  // GetExitCodeThread or GetExitCodeProcess.
  using ExitCodeReader = int32_t (Platform::*)(Handle, uint32_t*);
  Finish AwaitBounded(Handle waitable, ExitCodeReader read);
  // The exit code of what has ended; none when it cannot be read.
  std::optional<uint32_t> ExitCodeOf(Handle ended, ExitCodeReader read);
  // A worker that ended: its crash, or the export's result, or that it never returned.
  void Ended(Outcome& outcome, uint32_t threadId, Module library, const WorkerJob& job,
             std::optional<uint32_t> exitCode);
  // The tool's exit code; when it could not load the file, the DLL it missed.
  void ToolEnded(Outcome& outcome, const std::string& tool, std::optional<uint32_t> exitCode);
  void Keep(Kept kept);
  void KeepCrashed(Module library);

  Platform& platform_;
  std::vector<Kept> kept_;
  std::vector<Module> crashedLibraries_;
  std::vector<Outcome> late_;
};

// The absolute path of an ordinary file that fileSpec names from here; "" for
// anything else, and for a device name in any folder. What the window's
// Register and the command line check first.
std::string CheckedPathOf(Platform& platform, const std::string& fileSpec);

// The platform's registration tool that takes libraries built for machine
// when this program cannot load them: the tool of the other architecture, or
// "" where the machine has none. programIs64 is this program's own kind.
std::string OtherArchitectureTool(Platform& platform, uint16_t machine, bool programIs64);

}  // namespace ravlin
