// Loads a control file, runs its self-registration export on a worker
// thread, waits a bounded time and tells the user how it went.
#include <memory>
#include <string>

#include "inspection/PlatformFile.h"
#include "platform/Text.h"
#include "registration/Engine.h"
#include "registration/Worker.h"
#include "window/frmRavlin.h"

namespace ravlin {
namespace {

std::string FullPathOf(Platform& platform, const std::string& fileSpec) {
  return BufferedText([&](char* buffer, uint32_t size) {
    return platform.GetFullPathNameA(fileSpec.c_str(), size, buffer, nullptr);
  });
}

// The file that the workflow found here is loaded by its absolute path, so the
// loader's search cannot substitute another file and the control's own
// dependencies are found beside it. A file specification that names no file
// here is left to the loader's own rules.
Module LoadControl(Platform& platform, const std::string& fileSpec, const std::string& checkedPath) {
  if (!checkedPath.empty())
    return platform.LoadLibraryExA(checkedPath.c_str(), nullptr, kLoadWithAlteredSearchPath);
  return platform.LoadLibraryExA(fileSpec.c_str(), nullptr, 0);
}

// The export's result is the worker's exit code; only a negative HRESULT is a failure.
std::string OutcomeText(Platform& platform, bool exitCodeKnown, uint32_t exitCode) {
  if (!exitCodeKnown || static_cast<int32_t>(exitCode) >= 0) return "Process completed";
  return FailureText(platform, exitCode);
}

}  // namespace

std::string CheckedPathOf(Platform& platform, const std::string& fileSpec) {
  const std::string fullPath = FullPathOf(platform, fileSpec);
  return !fullPath.empty() && IsOrdinaryFile(platform, fullPath) ? fullPath : std::string();
}

// Every step is guarded: a failing one is skipped, and each call ends in one of its messages.
void frmRavlin::RegServerProc(std::string inDllFile, const std::string& inCommand) {
  // A worker left behind by an earlier time-out may have ended by now.
  ResumeNext([&] { ReleaseEndedWorkers(); });

  std::string checkedPath;
  ResumeNext([&] { checkedPath = CheckedPathOf(platform_, inDllFile); });
  OwnedLibrary library(nullptr, LibraryFreer{&platform_});
  uint32_t loadError = 0;
  ResumeNext([&] {
    library.reset(LoadControl(platform_, inDllFile, checkedPath));
    if (!library) loadError = platform_.GetLastError();
  });
  if (!library) return ReportLoadFailure(checkedPath, loadError, inCommand);

  const char* exportName = ExportFor(inCommand);
  // The library is released on the way out.
  if (!exportName) return Tell(toolkit_, "Unknown command handle");

  // Nothing ran: the pointer goes back (even if never busy), then the message, then the library.
  const auto failBeforeRunning = [&] {
    Point(toolkit_, MousePointer::Default);
    Tell(toolkit_, "Process failed in obtaining entry point or creating thread.");
    library.reset();
  };

  Proc entryPoint = nullptr;
  ResumeNext([&] { entryPoint = platform_.GetProcAddress(library.get(), exportName); });
  if (!entryPoint) return failBeforeRunning();

  Point(toolkit_, MousePointer::Hourglass);
  std::unique_ptr<WorkerJob> job;
  OwnedHandle thread(nullptr, HandleReleaser{&platform_});
  uint32_t threadId = 0;
  ResumeNext([&] { platform_.InstallCrashFilter(); });
  ResumeNext([&] {
    job.reset(new WorkerJob{&platform_, entryPoint});
    thread.reset(platform_.CreateThread(nullptr, 0, &RegistrationWorker, job.get(), 0, &threadId));
  });
  if (!thread) return failBeforeRunning();

  // No messages are processed here: the window waits with the busy pointer.
  uint32_t waitResult = kWaitFailed;
  ResumeNext([&] { waitResult = platform_.WaitForSingleObject(thread.get(), kWaitLimitMs); });
  mApiResult = waitResult;

  if (waitResult != kWaitObject0) {
    // The worker may still run inside the library: keep it and the handle until it has ended.
    KeepWorker(thread.release(), threadId, library.release(), std::move(job));
    Point(toolkit_, MousePointer::Default);
    return Tell(toolkit_, TimeOutText());
  }

  // A control that crashed stays loaded for good: its state is unknown.
  CrashRecord crash;
  bool crashed = false;
  ResumeNext([&] { crashed = platform_.TakeCrashRecord(threadId, &crash) != 0; });
  if (crashed) {
    thread.reset();
    KeepCrashed(library.release());
    Point(toolkit_, MousePointer::Default);
    return Tell(toolkit_, CrashText(exportName, crash));
  }

  uint32_t exitCode = 0;
  bool exitCodeKnown = false;
  ResumeNext([&] { exitCodeKnown = platform_.GetExitCodeThread(thread.get(), &exitCode) != 0; });
  thread.reset();
  library.reset();
  Point(toolkit_, MousePointer::Default);
  std::string outcome = "Process completed";
  ResumeNext([&] { outcome = OutcomeText(platform_, exitCodeKnown, exitCode); });
  Tell(toolkit_, outcome);
}

// Should keeping fail, leaking the worker's handle, library and job is the lesser harm.
void frmRavlin::KeepWorker(Handle waitable, uint32_t threadId, Module library,
                           std::unique_ptr<WorkerJob> job) {
  try {
    mPendingWorkers.push_back(PendingWorker{waitable, threadId, library, std::move(job)});
  } catch (const std::exception&) {
    (void)job.release();
  }
}

void frmRavlin::KeepCrashed(Module library) {
  ResumeNext([&] { mCrashedLibraries.push_back(library); });
}

// Closes the handle and releases the library of every kept worker that has ended.
void frmRavlin::ReleaseEndedWorkers() {
  for (auto it = mPendingWorkers.begin(); it != mPendingWorkers.end();) {
    bool ended = false;
    ResumeNext([&] { ended = platform_.WaitForSingleObject(it->waitable, 0) == kWaitObject0; });
    if (!ended) {
      ++it;
      continue;
    }
    HandleReleaser{&platform_}(it->waitable);
    CrashRecord crash;
    bool crashed = false;
    if (it->threadId) ResumeNext([&] { crashed = platform_.TakeCrashRecord(it->threadId, &crash) != 0; });
    if (crashed)
      KeepCrashed(it->library);
    else if (it->library)
      LibraryFreer{&platform_}(it->library);
    it = mPendingWorkers.erase(it);
  }
}

frmRavlin::~frmRavlin() {
  ReleaseEndedWorkers();
  // A worker still running keeps its library loaded: unloading it would pull
  // the code out from under the thread. Its handle is no longer needed.
  for (const PendingWorker& worker : mPendingWorkers) HandleReleaser{&platform_}(worker.waitable);
}

}  // namespace ravlin
