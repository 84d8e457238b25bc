#include "window/frmRavlin.h"

namespace ravlin {

void frmRavlin::Command2_Click() { toolkit_.Unload(); }

void frmRavlin::cmdExit_Click() { toolkit_.Unload(); }

// Whatever closed the window, the program ends now; the cancel flag is left alone.
void frmRavlin::Form_Unload(int16_t& /*cancel*/) { toolkit_.End(); }

}  // namespace ravlin
