#include "registration/CompanionScript.h"
#include "texts/Texts.h"
#include "window/frmRavlin.h"

namespace ravlin {

// Writes a three-line script next to the program and has the shell run it
// elevated; regsvr32 then does the work in its own console. The window waits
// for nothing: it shows the companion's new state once the script has ended.
void frmRavlin::Command1_Click(int16_t index) {
  const Action action = index != 0 ? Action::Register : Action::Unregister;
  const std::string scriptName = CompanionScriptName(action);

  // The shell's test answers in its low 16 bits.
  if ((platform_.IsUserAnAdmin() & 0xFFFF) != 0) {
    toolkit_.MsgBox(text::kIfNotSuccessful + mCrLf + mCrLf + text::kRightClickOn + toolkit_.AppPath() + "\\" +
                    scriptName + mCrLf + mCrLf + text::kRunAsAdministrator);
  }

  const std::string scriptPath = toolkit_.AppPath() + "\\" + scriptName;
  const bool written = Savetext(scriptPath, CompanionScript(action, is64(), mCrLf));

  toolkit_.DoEvents();
  toolkit_.DoEvents();

  // An old or missing script must never run with elevated rights.
  if (!written) return;
  const std::string parameters = toolkit_.Command() + "/admin";
  Handle script = nullptr;
  platform_.ShellExecuteExA(nullptr, "runas", scriptPath.c_str(), parameters.c_str(), nullptr, kSwShowNormal,
                            &script);
  mScriptProcess.reset(script);  // its end is watched for by the idle timer
}

}  // namespace ravlin
