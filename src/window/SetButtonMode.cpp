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
  cmdReplace.SetVisible(!bIdle && mSetup && mRegisterMode && OffersReplacing(mSetup->plan));
  text1.SetLocked(!bIdle);
}

}  // namespace ravlin
