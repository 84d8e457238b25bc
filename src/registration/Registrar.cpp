// Loads a control file, runs its self-registration export on a worker thread
// and waits a bounded time; a library of the other architecture goes to that
// architecture's registration tool instead. Every step is guarded: a failing
// one is skipped, and every run ends in an outcome.
#include "registration/Registrar.h"

#include <utility>

#include "inspection/MissingDependency.h"
#include "inspection/NeverControls.h"
#include "inspection/PlatformFile.h"
#include "inspection/TypeLibrary.h"
#include "platform/Probes.h"
#include "platform/Text.h"

namespace ravlin {
namespace {


// The file that the workflow found here is loaded by its absolute path, so the
// loader's search cannot substitute another file and the control's own
// dependencies are found beside it. A file specification that names no file
// here is left to the loader's own rules.
Module LoadControl(Platform& platform, const std::string& fileSpec, const std::string& checkedPath) {
  if (!checkedPath.empty())
    return platform.LoadLibraryExA(checkedPath.c_str(), nullptr, kLoadWithAlteredSearchPath);
  return platform.LoadLibraryExA(fileSpec.c_str(), nullptr, 0);
}

// Codes that say the registry refused the write.
bool RefusedAccess(uint32_t code) {
  return code == 0x80070005 || code == 0x8002801C || code == 0x80040151;
}

// Jobs of workers still running when their registrar went: a worker writes
// to its job when the export returns, so they are never freed. Only the
// user-interface thread adds to them.
std::vector<std::unique_ptr<WorkerJob>>* orphans = nullptr;

void Orphan(std::unique_ptr<WorkerJob> job) {
  try {
    if (!orphans) orphans = new std::vector<std::unique_ptr<WorkerJob>>();
    orphans->push_back(std::move(job));
  } catch (const std::exception&) {
    (void)job.release();
  }
}

}  // namespace

const char* ExportName(Action action) {
  return action == Action::Register ? "DllRegisterServer" : "DllUnregisterServer";
}

std::optional<Action> ActionFor(const std::string& inCommand) {
  if (inCommand.empty()) return Action::Register;
  if (inCommand == "U" || inCommand == "u") return Action::Unregister;
  return std::nullopt;
}

std::string CheckedPathOf(Platform& platform, const std::string& fileSpec) {
  // A device opened as a file may wait for a port or a console: never opened.
  if (IsDeviceName(fileSpec)) return {};
  const std::string fullPath = FullPathOf(platform, fileSpec);
  return !fullPath.empty() && IsOrdinaryFile(platform, fullPath) ? fullPath : std::string();
}

Registrar::Registrar(Platform& platform) : platform_(platform) {}

Registrar::~Registrar() {
  ReleaseEnded();
  // A worker still running keeps its library loaded: unloading it would pull
  // the code out from under the thread. Its handle is no longer needed.
  for (Kept& kept : kept_) {
    HandleReleaser{&platform_}(kept.waitable);
    if (kept.job) Orphan(std::move(kept.job));
  }
}

Outcome Registrar::Run(const std::string& fileSpec, Action action, const std::function<void()>& onBusy,
                       const ReadBefore& before) {
  // A worker left behind by an earlier time-out may have ended by now.
  ResumeNext([&] { ReleaseEnded(); });
  Outcome outcome = RunAction(fileSpec, action, onBusy);
  ReadStateAfter(outcome, before);
  return outcome;
}

void Registrar::ReadStateAfter(Outcome& outcome, const ReadBefore& before) {
  const bool saidYes = outcome.kind == Outcome::Kind::Completed ||
                       (outcome.kind == Outcome::Kind::HandedOver && outcome.code == 0);
  if (!saidYes) return;
  ResumeNext([&] {
    if (!IsOrdinaryFile(platform_, outcome.file)) return;
    std::optional<ReadBasis> basis;
    if (before) ResumeNext([&] { basis = before(); });
    outcome.after = ReadRegistrationState(platform_, outcome.file, 0, DefaultClassesRoots(),
                                          {basis ? &*basis : nullptr, nullptr});
  });
  if (!outcome.after || !outcome.after->classes.empty() || !outcome.after->typeLibraries.empty()) return;
  ResumeNext([&] { outcome.expectsClasses = ExpectsClasses(platform_, outcome.file); });
}

Outcome Registrar::RunAction(const std::string& fileSpec, Action action, const std::function<void()>& onBusy) {
  Outcome outcome;
  outcome.action = action;
  std::string checkedPath;
  ResumeNext([&] { checkedPath = CheckedPathOf(platform_, fileSpec); });
  ResumeNext([&] { outcome.file = checkedPath.empty() ? fileSpec : checkedPath; });
  // What the file is decides before it is loaded: a .NET assembly may not
  // load at all where no runtime is installed, and a program is no library.
  std::optional<PeHeaders> headers;
  ResumeNext([&] {
    if (!checkedPath.empty()) headers = ReadPeHeadersOf(platform_, checkedPath);
  });
  if (headers && headers->isImage && (headers->isDotNet || !headers->isDll)) {
    outcome.kind = Outcome::Kind::NoEntryPoint;
    outcome.instead = headers->isDotNet ? Outcome::Instead::DotNetAssembly : Outcome::Instead::Program;
    return outcome;
  }
  // The loader's lookup of an export would read wherever the damaged table points.
  if (headers && headers->isImage && headers->exportsDamaged) {
    outcome.kind = Outcome::Kind::LoadFailed;
    outcome.diagnosis.kind = LoadDiagnosis::Kind::ExportsDamaged;
    return outcome;
  }

  OwnedLibrary library(nullptr, LibraryFreer{&platform_});
  uint32_t loadError = 0;
  ResumeNext([&] {
    library.reset(LoadControl(platform_, fileSpec, checkedPath));
    if (!library) loadError = platform_.GetLastError();
  });
  if (!library) return AfterLoadFailure(checkedPath, headers, loadError, std::move(outcome), onBusy);

  Proc entryPoint = nullptr;
  ResumeNext([&] { entryPoint = platform_.GetProcAddress(library.get(), ExportName(action)); });
  if (!entryPoint) {
    outcome.kind = Outcome::Kind::NoEntryPoint;
    outcome.instead = Outcome::Instead::NoExport;
    ResumeNext([&] {
      if (platform_.GetProcAddress(library.get(), "DllInstall")) outcome.instead = Outcome::Instead::DllInstallOnly;
    });
    outcome.library = std::move(library);  // released once the user has been told
    return outcome;
  }
  ResumeNext(onBusy);
  return RunWorker(std::move(library), entryPoint, std::move(outcome));
}

Outcome Registrar::RunWorker(OwnedLibrary library, Proc entryPoint, Outcome outcome) {
  std::unique_ptr<WorkerJob> job;
  OwnedHandle thread(nullptr, HandleReleaser{&platform_});
  uint32_t threadId = 0;
  ResumeNext([&] { platform_.InstallCrashFilter(); });
  ResumeNext([&] {
    job.reset(new WorkerJob{&platform_, entryPoint});
    thread.reset(platform_.CreateThread(nullptr, 0, &RegistrationWorker, job.get(), 0, &threadId));
  });
  if (!thread) {
    outcome.kind = Outcome::Kind::NoEntryPoint;
    outcome.library = std::move(library);
    return outcome;
  }

  const Finish finish = AwaitBounded(thread.get(), &Platform::GetExitCodeThread);
  outcome.waitResult = finish.waitResult;
  if (finish.waitResult != kWaitObject0) {
    // The worker may still run inside the library: keep it and the handle until it has ended.
    Keep(Kept{thread.release(), threadId, library.release(), std::move(job), outcome.action, outcome.file, {}});
    outcome.kind = Outcome::Kind::TimedOut;
    return outcome;
  }
  thread.reset();
  Ended(outcome, threadId, library.release(), *job, finish.exitCode);
  return outcome;
}

void Registrar::Ended(Outcome& outcome, uint32_t threadId, Module library, const WorkerJob& job,
                          std::optional<uint32_t> exitCode) {
  // A control that crashed stays loaded for good: its state is unknown.
  bool crashed = false;
  ResumeNext([&] { crashed = platform_.TakeCrashRecord(threadId, &outcome.crash) != 0; });
  if (crashed) {
    KeepCrashed(library);
    outcome.kind = Outcome::Kind::Crashed;
    return;
  }
  LibraryFreer{&platform_}(library);

  if (!job.returned && exitCode) {
    outcome.kind = Outcome::Kind::EndedThread;
    outcome.code = *exitCode;
    return;
  }
  // The export's result is the worker's exit code; only a negative HRESULT is a failure.
  outcome.kind = Outcome::Kind::Completed;
  if (!exitCode || static_cast<int32_t>(*exitCode) >= 0) return;
  outcome.kind = Outcome::Kind::ExportFailed;
  outcome.code = *exitCode;
  outcome.codeDescription = SystemDescription(platform_, outcome.code);
  if (RefusedAccess(outcome.code)) {
    bool admin = true;  // no advice when the test cannot tell
    ResumeNext([&] { admin = (platform_.IsUserAnAdmin() & 0xFFFF) != 0; });
    outcome.rightsAdvice = !admin;
  }
}

// The window keeps painting meanwhile, but takes no input: it waits with the busy pointer.
Registrar::Finish Registrar::AwaitBounded(Handle waitable, ExitCodeReader read) {
  Finish finish;
  ResumeNext([&] { finish.waitResult = platform_.WaitKeepingWindowAlive(waitable, kWaitLimitMs); });
  if (finish.waitResult == kWaitObject0) finish.exitCode = ExitCodeOf(waitable, read);
  return finish;
}

std::optional<uint32_t> Registrar::ExitCodeOf(Handle ended, ExitCodeReader read) {
  std::optional<uint32_t> exitCode;
  ResumeNext([&] {
    uint32_t code = 0;
    if ((platform_.*read)(ended, &code) != 0) exitCode = code;
  });
  return exitCode;
}

// The loader refused the file: a library of the other architecture goes to
// that architecture's tool; anything else is a load failure, with its reason.
Outcome Registrar::AfterLoadFailure(const std::string& checkedPath, const std::optional<PeHeaders>& headers,
                                    uint32_t loadError, Outcome outcome, const std::function<void()>& onBusy) {
  std::string tool;
  ResumeNext([&] {
    if (headers && headers->isImage) tool = OtherArchitectureTool(platform_, headers->machine, kProgramIs64);
  });
  if (!tool.empty()) {
    ResumeNext(onBusy);
    return HandOver(tool, std::move(outcome));
  }
  outcome.kind = Outcome::Kind::LoadFailed;
  outcome.diagnosis = DiagnoseLoadFailure(platform_, checkedPath, headers, loadError, kProgramMachine);
  return outcome;
}

// Should keeping fail, leaking the worker's handle, library and job is the lesser harm.
void Registrar::Keep(Kept kept) {
  try {
    kept_.push_back(std::move(kept));
  } catch (const std::exception&) {
    (void)kept.job.release();
  }
}

void Registrar::KeepCrashed(Module library) {
  ResumeNext([&] { crashedLibraries_.push_back(library); });
}

void Registrar::ReleaseEnded() {
  for (auto it = kept_.begin(); it != kept_.end();) {
    bool ended = false;
    ResumeNext([&] { ended = platform_.WaitForSingleObject(it->waitable, 0) == kWaitObject0; });
    if (!ended) {
      ++it;
      continue;
    }
    const std::optional<uint32_t> exitCode =
        ExitCodeOf(it->waitable, it->job ? &Platform::GetExitCodeThread : &Platform::GetExitCodeProcess);
    HandleReleaser{&platform_}(it->waitable);
    Outcome outcome;
    outcome.action = it->action;
    outcome.file = it->file;
    outcome.late = true;
    if (it->job)
      Ended(outcome, it->threadId, it->library, *it->job, exitCode);
    else
      ToolEnded(outcome, it->tool, exitCode);
    ReadStateAfter(outcome, nullptr);
    ResumeNext([&] { late_.push_back(std::move(outcome)); });
    it = kept_.erase(it);
  }
}

std::vector<Outcome> Registrar::TakeLate() { return std::exchange(late_, {}); }

}  // namespace ravlin
