// Loads a control file, runs its self-registration export on a worker
// thread, waits a bounded time and tells the user how it went.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "registration/Engine.h"
#include "registration/Worker.h"
#include "window/frmRavlin.h"

namespace ravlin {
namespace {

std::string FullPathOf(Platform& platform, const std::string& fileSpec) {
  std::string buffer(260, '\0');
  uint32_t length = platform.GetFullPathNameA(fileSpec.c_str(), static_cast<uint32_t>(buffer.size()),
                                              &buffer[0], nullptr);
  if (length >= buffer.size()) {  // too small: length is the size it needs
    buffer.assign(length, '\0');
    length = platform.GetFullPathNameA(fileSpec.c_str(), static_cast<uint32_t>(buffer.size()),
                                       &buffer[0], nullptr);
    if (length >= buffer.size()) return {};
  }
  buffer.resize(length);
  return buffer;
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

// The system's text for a status code, without its trailing line break; "" if it has none.
std::string SystemDescription(Platform& platform, uint32_t code) {
  char buffer[1024] = {};
  const uint32_t length =
      platform.FormatMessageA(kFormatMessageFromSystem | kFormatMessageIgnoreInserts, nullptr, code,
                              0, buffer, sizeof(buffer), nullptr);
  std::string text(buffer, std::min<size_t>(length, sizeof(buffer)));
  const size_t end = text.find_last_not_of("\r\n ");
  text.erase(end == std::string::npos ? 0 : end + 1);
  return text;
}

// The export's result is the worker's exit code; only a negative HRESULT is a failure.
std::string OutcomeText(Platform& platform, bool exitCodeKnown, uint32_t exitCode) {
  if (!exitCodeKnown || static_cast<int32_t>(exitCode) >= 0) return "Process completed";
  char hex[9] = {};
  std::snprintf(hex, sizeof(hex), "%08X", static_cast<unsigned>(exitCode));
  std::string text = std::string("Process failed with error code 0x") + hex;
  std::string description;
  ResumeNext([&] { description = SystemDescription(platform, exitCode); });
  if (!description.empty()) text += "\r\n" + description;
  return text;
}

}  // namespace

std::string CheckedPathOf(Platform& platform, const std::string& fileSpec) {
  const std::string fullPath = FullPathOf(platform, fileSpec);
  if (fullPath.empty()) return {};
  const uint32_t attributes = platform.GetFileAttributesA(fullPath.c_str());
  if (attributes == kInvalidFileAttributes || (attributes & kFileAttributeDirectory) != 0) return {};
  return fullPath;
}

// Every step is guarded: a failing one is skipped, and each call ends in one of its messages.
void frmRavlin::RegServerProc(std::string inDllFile, const std::string& inCommand) {
  // A worker left behind by an earlier time-out may have ended by now.
  ResumeNext([&] { ReleaseEndedWorkers(); });

  std::string checkedPath;
  ResumeNext([&] { checkedPath = CheckedPathOf(platform_, inDllFile); });
  OwnedLibrary library(nullptr, LibraryFreer{&platform_});
  ResumeNext([&] { library.reset(LoadControl(platform_, inDllFile, checkedPath)); });
  if (!library) return ReportLoadFailure(checkedPath, inCommand);

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
  ResumeNext([&] {
    job.reset(new WorkerJob{&platform_, entryPoint});
    uint32_t threadId = 0;
    thread.reset(platform_.CreateThread(nullptr, 0, &RegistrationWorker, job.get(), 0, &threadId));
  });
  if (!thread) return failBeforeRunning();

  // No messages are processed here: the window waits with the busy pointer.
  uint32_t waitResult = kWaitFailed;
  ResumeNext([&] { waitResult = platform_.WaitForSingleObject(thread.get(), kWaitLimitMs); });
  mApiResult = waitResult;

  if (waitResult != kWaitObject0) {
    // The worker may still run inside the library: keep it and the handle until it has ended.
    KeepWorker(thread.release(), library.release(), std::move(job));
    Point(toolkit_, MousePointer::Default);
    return Tell(toolkit_, "Process failed in signaled state or time-out.");
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
void frmRavlin::KeepWorker(Handle waitable, Module library, std::unique_ptr<WorkerJob> job) {
  try {
    mPendingWorkers.push_back(PendingWorker{waitable, library, std::move(job)});
  } catch (const std::exception&) {
    (void)job.release();
  }
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
    if (it->library) LibraryFreer{&platform_}(it->library);
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
