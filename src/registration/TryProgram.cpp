#include "registration/TryProgram.h"

#include "platform/Owned.h"
#include "platform/Probes.h"
#include "platform/Text.h"

namespace ravlin {
namespace {

constexpr char kBoxClass[] = "#32770";
constexpr int32_t kBoxTextId = 0xFFFF;  // a message box's text
constexpr char kNotRegistered[] = "not correctly registered";

// What the walk over the top-level windows found of the program's.
struct ProgramWindows {
  Platform* platform;
  uint32_t processId;
  std::string boxText;
  bool window = false;
};

std::string BoxText(Platform& platform, Hwnd box) {
  char text[2048] = {};
  const uint32_t length = platform.GetDlgItemTextA(box, kBoxTextId, text, sizeof text);
  return std::string(text, length < sizeof text ? length : 0);
}

// A visible window of the program's; a message box ends the walk, as it says most.
int32_t NoteProgramWindow(Hwnd window, intptr_t parameter) {
  ProgramWindows& seen = *reinterpret_cast<ProgramWindows*>(parameter);
  uint32_t owner = 0;
  seen.platform->GetWindowThreadProcessId(window, &owner);
  if (owner != seen.processId || !seen.platform->IsWindowVisible(window)) return 1;
  char className[64] = {};
  seen.platform->GetClassNameA(window, className, sizeof className);
  // A dialog without a message box's text is the program's own window.
  if (std::string(className) == kBoxClass) seen.boxText = BoxText(*seen.platform, window);
  seen.window = true;
  return seen.boxText.empty() ? 1 : 0;
}

// Whether what the program shows now decides the outcome.
bool DecidedByWhatItShows(Platform& platform, TryOutcome& outcome) {
  ProgramWindows seen{&platform, outcome.processId, {}, false};
  platform.EnumWindows(&NoteProgramWindow, reinterpret_cast<intptr_t>(&seen));
  if (!seen.boxText.empty()) {
    const bool registration = seen.boxText.find(kNotRegistered) != std::string::npos;
    outcome.kind = registration ? TryOutcome::Kind::RegistrationError : TryOutcome::Kind::ShowsMessage;
    outcome.text = seen.boxText;
    return true;
  }
  if (seen.window) outcome.kind = TryOutcome::Kind::OpenedWindow;
  return seen.window;
}

// A root folder keeps its separator: "C:" alone is the drive's current folder.
std::string FolderToStartIn(const std::string& programPath) {
  const std::string folder = FolderOf(programPath);
  return !folder.empty() && folder.back() == ':' ? folder + "\\" : folder;
}

}  // namespace

TryOutcome TryProgram(Platform& platform, const std::string& programPath) {
  TryOutcome outcome;
  std::string commandLine = "\"" + programPath + "\"";
  ProcessInformation started;
  if (!platform.CreateProcessInDirectoryA(programPath.c_str(), &commandLine[0],
                                          FolderToStartIn(programPath).c_str(), &started)) {
    outcome.code = platform.GetLastError();
    outcome.text = SystemDescription(platform, outcome.code);
    return outcome;
  }
  const OwnedHandle process(started.process, HandleReleaser{&platform});
  const OwnedHandle thread(started.thread, HandleReleaser{&platform});
  outcome.processId = started.processId;
  for (uint32_t waited = 0; waited < kTryWatchMs; waited += kTryLookMs) {
    if (DecidedByWhatItShows(platform, outcome)) return outcome;
    const uint32_t wait = platform.WaitKeepingWindowAlive(started.process, kTryLookMs);
    if (wait == kWaitTimeout) continue;
    outcome.kind = TryOutcome::Kind::Unwatched;
    if (wait == kWaitObject0 && platform.GetExitCodeProcess(started.process, &outcome.code))
      outcome.kind = TryOutcome::Kind::Ended;
    return outcome;
  }
  outcome.kind = TryOutcome::Kind::NoWindow;
  return outcome;
}

}  // namespace ravlin
