#include "window/frmRavlin.h"

namespace ravlin {

// A dropped file is named as if typed, so a shown summary clears; while a
// registration waits for confirmation the text is locked and stays.
void frmRavlin::Form_DropFiles(const std::string& path) {
  if (text1.Locked()) return;
  text1.SetText(path);
}

}  // namespace ravlin
