#include "window/frmRavlin.h"

namespace ravlin {

// Writes a three-line script next to the program and has the shell run it
// elevated; regsvr32 then does the work in its own console.
void frmRavlin::Command1_Click(int16_t index) {
  const std::string scriptName = index != 0 ? "register.bat" : "unregister.bat";

  // The shell's test answers in its low 16 bits.
  if ((platform_.IsUserAnAdmin() & 0xFFFF) != 0) {
    toolkit_.MsgBox("If not successful then " + mCrLf + mCrLf + "rightclick on '" +
                    toolkit_.AppPath() + "\\" + scriptName + mCrLf + mCrLf +
                    " and select 'Run as Adminstrator'");
  }

  // Fixed lines: the script must not depend on what the system directory is called.
  const std::string directoryLine = is64() ? "cd C:\\Windows\\SysWOW64" : "cd C:\\Windows\\System32";
  const std::string toolLine = index != 0 ? "regsvr32 RICHTX32.OCX" : "regsvr32 /u RICHTX32.OCX";
  const std::string scriptText = directoryLine + mCrLf + toolLine + mCrLf + "pause";

  const std::string scriptPath = toolkit_.AppPath() + "\\" + scriptName;
  const bool written = Savetext(scriptPath, scriptText);

  toolkit_.DoEvents();
  toolkit_.DoEvents();

  // An old or missing script must never run with elevated rights.
  if (!written) return;
  const std::string parameters = toolkit_.Command() + "/admin";
  platform_.ShellExecuteA(nullptr, "runas", scriptPath.c_str(), parameters.c_str(), nullptr,
                          kSwShowNormal);
}

}  // namespace ravlin
