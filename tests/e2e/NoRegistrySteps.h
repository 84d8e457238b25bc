#pragma once
// The test program's surroundings, and No registry worked through the window
// as a user does it, for the scenarios that set up a program's controls.
#include <string>

#include "Driver.h"

namespace e2e {

// The test program is 32-bit in both builds: its scripting host is the 32-bit
// programs' one, and its test control (beside it) is named after the build.
inline std::string SharedFolder() {
  char path[MAX_PATH] = {};
  if (GetSystemWow64DirectoryA(path, MAX_PATH) == 0) GetSystemDirectoryA(path, MAX_PATH);
  return path;
}
inline const std::string kBesideControl = sizeof(void*) == 8 ? "realclass32.ocx" : "realclass.ocx";

// Wine's scripting host registered or not, by the 32-bit programs' own tool.
inline bool RegisterShell(bool registered) {
  Session tool(std::string(registered ? "/s " : "/s /u ") + SharedFolder() + "\\wshom.ocx",
               SharedFolder() + "\\regsvr32.exe");
  DWORD code = 1;
  return tool.WaitExit(30000) && GetExitCodeProcess(tool.Process(), &code) && code == 0;
}

// Names the program, asks to register it, and presses No registry; the
// message, without the offer to try the program (Try it's own scenario's).
inline std::string WriteThroughTheWindow(const std::string& program) {
  Session s;
  s.StartIdle();
  s.SetText(ravlin::IdText1, program);
  s.Click(ravlin::IdCmdRegister);
  if (!Check(s.WaitVisible(ravlin::IdCmdNoRegistry), "No registry offered for the program's controls")) return {};
  s.Click(ravlin::IdCmdNoRegistry);
  const std::string message = s.TakeBox(60000);
  Check(s.WaitVisible(ravlin::IdCmdNoRegistry, false) && s.WaitVisible(ravlin::IdCmdRegister), "back to the idle buttons");
  return message.substr(0, message.rfind("\r\n\r\nPress Try it "));
}

}  // namespace e2e
