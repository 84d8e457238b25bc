#include "window/frmRavlin.h"

namespace ravlin {

void frmRavlin::SetButtonMode(bool bIdle) {
  cmdRegister.SetVisible(bIdle);
  cmdUnregister.SetVisible(bIdle);
  cmdExit.SetVisible(bIdle);
  cmdProceed.SetVisible(!bIdle);
  cmdCancel.SetVisible(!bIdle);
  text1.SetLocked(!bIdle);
}

}  // namespace ravlin
