#pragma once
// Pieces shared by the in-process registration and the hand-over to the
// platform's own tool.
#include <memory>
#include <string>

#include "inspection/PeImage.h"
#include "platform/Platform.h"
#include "platform/ResumeNext.h"
#include "platform/Toolkit.h"

namespace ravlin {

constexpr uint32_t kWaitLimitMs = 10000;
constexpr char kRegisterExport[] = "DllRegisterServer";
constexpr char kUnregisterExport[] = "DllUnregisterServer";

// The export a command selects; null for a command outside the table.
inline const char* ExportFor(const std::string& inCommand) {
  if (inCommand.empty()) return kRegisterExport;
  if (inCommand == "U" || inCommand == "u") return kUnregisterExport;
  return nullptr;
}

inline void Tell(Toolkit& toolkit, const std::string& text) {
  ResumeNext([&] { toolkit.MsgBox(text); });
}

inline void Point(Toolkit& toolkit, MousePointer pointer) {
  ResumeNext([&] { toolkit.SetMousePointer(pointer); });
}

// Owners of what the engine acquires; releasing never throws.
struct LibraryFreer {
  Platform* platform;
  void operator()(Module module) const {
    ResumeNext([&] { platform->FreeLibrary(module); });
  }
};
struct HandleReleaser {
  Platform* platform;
  void operator()(Handle handle) const {
    ResumeNext([&] { platform->CloseHandle(handle); });
  }
};
using OwnedLibrary = std::unique_ptr<void, LibraryFreer>;
using OwnedHandle = std::unique_ptr<void, HandleReleaser>;

// The absolute path of an ordinary file that fileSpec names from here; "" for anything else.
std::string CheckedPathOf(Platform& platform, const std::string& fileSpec);

// The platform's registration tool that takes libraries built for machine
// when this program cannot load them: the tool of the other architecture, or
// "" where the machine has none. programIs64 is this program's own kind.
std::string OtherArchitectureTool(Platform& platform, uint16_t machine, bool programIs64);

constexpr bool kProgramIs64 = sizeof(void*) == 8;
constexpr uint16_t kProgramMachine = kProgramIs64 ? kMachineAmd64 : kMachineI386;
constexpr uint32_t kToolLoadFailed = 3;  // regsvr32's exit code when it cannot load the file

// What the tool's exit code says, in the program's own messages.
std::string ToolOutcome(uint32_t exitCode);

// The system's text for a status code, without its trailing line break; "" if it has none.
std::string SystemDescription(Platform& platform, uint32_t code);
// A failing export's code, its description (the system's, else the well-known
// one) and, where access was refused and the user is no administrator, the advice.
std::string FailureText(Platform& platform, uint32_t code);
std::string TimeOutText();
std::string CrashText(const std::string& exportName, const CrashRecord& crash);

}  // namespace ravlin
