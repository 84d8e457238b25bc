#include "window/frmRavlin.h"

namespace ravlin {

// A dropped file is named as if typed, so a shown summary clears; while a
// registration waits for confirmation the text is locked and stays; a folder
// dropped while a program's controls wait is looked in for the missing ones.
void frmRavlin::Form_DropFiles(const std::string& path) {
  if (text1.Locked()) {
    if (cmdLookIn.Visible()) LookInFolder(path);
    return;
  }
  text1.SetText(path);
}

}  // namespace ravlin
