#pragma once
// No registry worked through the window, as a user does it, for the scenarios
// that write a program's manifest.
#include <string>

#include "Driver.h"

namespace e2e {

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
