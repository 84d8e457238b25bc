#include "registration/SetupRequest.h"
#include "window/frmRavlin.h"

namespace ravlin {

void frmRavlin::SetButtonMode(bool bIdle) {
  cmdRegister.SetVisible(bIdle);
  cmdUnregister.SetVisible(bIdle);
  cmdExit.SetVisible(bIdle);
  cmdProceed.SetVisible(!bIdle);
  cmdCancel.SetVisible(!bIdle);
  // Only a program's controls can be described for it, and only in place of registering them.
  cmdNoRegistry.SetVisible(!bIdle && mProgram.has_value() && mRegisterMode);
  cmdTryIt.SetVisible(bIdle && !mTryProgram.empty());
  cmdLookIn.SetVisible(!bIdle && mProgram.has_value() && mRegisterMode);
  // Only what the user sees in the plan may be replaced, and only when asked for there: a line with a backup.
  bool replaceable = false;
  if (!bIdle && mSetup && mRegisterMode)
    for (const PlannedFile& planned : mSetup->plan.files) replaceable = replaceable || !planned.backup.empty();
  cmdReplace.SetVisible(replaceable);
  text1.SetLocked(!bIdle);
}

}  // namespace ravlin
