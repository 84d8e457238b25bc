#include "registration/CompanionScript.h"

namespace ravlin {

std::string CompanionFolder(bool sixtyFour) {
  return sixtyFour ? "c:\\windows\\syswow64" : "c:\\windows\\system32";
}

std::string CompanionScriptName(Action action) {
  return action == Action::Register ? "register.bat" : "unregister.bat";
}

std::string CompanionScript(Action action, bool sixtyFour, const std::string& lineBreak) {
  const std::string directoryLine = sixtyFour ? "cd C:\\Windows\\SysWOW64" : "cd C:\\Windows\\System32";
  const std::string toolLine = action == Action::Register ? "regsvr32 RICHTX32.OCX" : "regsvr32 /u RICHTX32.OCX";
  return directoryLine + lineBreak + toolLine + lineBreak + "pause";
}

}  // namespace ravlin
