// Loads a control file, runs its self-registration export on a worker
// thread, waits a bounded time and tells the user how it went.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/ResumeNext.h"
#include "window/frmRavlin.h"

namespace ravlin {
namespace {

constexpr uint32_t kWaitLimitMs = 10000;

// Owners of what the routine acquires; releasing never throws.
struct LibraryFreer {
  Platform* platform;
  void operator()(Module module) const {
    ResumeNext([&] { platform->FreeLibrary(module); });
  }
};
struct ThreadCloser {
  Platform* platform;
  void operator()(Handle thread) const {
    ResumeNext([&] { platform->CloseHandle(thread); });
  }
};
using OwnedLibrary = std::unique_ptr<void, LibraryFreer>;
using OwnedThread = std::unique_ptr<void, ThreadCloser>;

void Tell(Toolkit& toolkit, const std::string& text) {
  ResumeNext([&] { toolkit.MsgBox(text); });
}

void Point(Toolkit& toolkit, MousePointer pointer) {
  ResumeNext([&] { toolkit.SetMousePointer(pointer); });
}

// The export a command selects; null for a command outside the table.
const char* ExportFor(const std::string& inCommand) {
  if (inCommand.empty()) return "DllRegisterServer";
  if (inCommand == "U" || inCommand == "u") return "DllUnregisterServer";
  return nullptr;
}

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

// Loads the file that the workflow found in the current directory, by its
// absolute path, so the loader's search cannot substitute another file and
// the control's own dependencies are found beside it. A file specification that
// names no file here is left to the loader's own rules.
Module LoadCheckedFile(Platform& platform, const std::string& fileSpec) {
  const std::string fullPath = FullPathOf(platform, fileSpec);
  if (!fullPath.empty()) {
    const uint32_t attributes = platform.GetFileAttributesA(fullPath.c_str());
    if (attributes != kInvalidFileAttributes && (attributes & kFileAttributeDirectory) == 0)
      return platform.LoadLibraryExA(fullPath.c_str(), nullptr, kLoadWithAlteredSearchPath);
  }
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

// Every step is guarded: a failing one is skipped, and each call ends in one of its messages.
void frmRavlin::RegServerProc(std::string inDllFile, const std::string& inCommand) {
  // A worker left behind by an earlier time-out may have ended by now.
  ResumeNext([&] { ReleaseEndedWorkers(); });

  OwnedLibrary library(nullptr, LibraryFreer{&platform_});
  ResumeNext([&] { library.reset(LoadCheckedFile(platform_, inDllFile)); });
  if (!library) return Tell(toolkit_, "Failure loading control DLL");

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
  OwnedThread thread(nullptr, ThreadCloser{&platform_});
  ResumeNext([&] {
    uint32_t threadId = 0;
    thread.reset(platform_.CreateThread(nullptr, 0, entryPoint, nullptr, 0, &threadId));
  });
  if (!thread) return failBeforeRunning();

  // No messages are processed here: the window waits with the busy pointer.
  uint32_t waitResult = kWaitFailed;
  ResumeNext([&] { waitResult = platform_.WaitForSingleObject(thread.get(), kWaitLimitMs); });
  mApiResult = waitResult;

  if (waitResult != kWaitObject0) {
    // The worker may still run inside the library: keep both until it has ended.
    // Should keeping fail, leaking them is the lesser harm.
    const PendingWorker worker{thread.release(), library.release()};
    ResumeNext([&] { mPendingWorkers.push_back(worker); });
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

// Closes the thread and releases the library of every kept worker that has ended.
void frmRavlin::ReleaseEndedWorkers() {
  for (auto it = mPendingWorkers.begin(); it != mPendingWorkers.end();) {
    bool ended = false;
    ResumeNext([&] { ended = platform_.WaitForSingleObject(it->thread, 0) == kWaitObject0; });
    if (!ended) {
      ++it;
      continue;
    }
    ThreadCloser{&platform_}(it->thread);
    LibraryFreer{&platform_}(it->library);
    it = mPendingWorkers.erase(it);
  }
}

frmRavlin::~frmRavlin() {
  ReleaseEndedWorkers();
  // A worker still running keeps its library loaded: unloading it would pull
  // the code out from under the thread. Its handle is no longer needed.
  for (const PendingWorker& worker : mPendingWorkers) ThreadCloser{&platform_}(worker.thread);
}

}  // namespace ravlin
