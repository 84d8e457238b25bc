#include "window/frmRavlin.h"

namespace ravlin {

// No trap of its own: a failing label operation reaches the caller.
void frmRavlin::ShowFileInfo(const std::string& inFile) {
  if (ReadVersionInfo(inFile)) {
    lblPleaseVerify.SetVisible(true);
    lblFileInfo.SetCaption("Company Name:  " + mCompanyName + "\r\n" + "Product Version:  " +
                           mProductVersion);
  } else {
    lblPleaseVerify.SetVisible(false);
    lblFileInfo.SetCaption("(No Product Version available for this file)");
  }
}

}  // namespace ravlin
