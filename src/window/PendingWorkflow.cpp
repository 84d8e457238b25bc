// Placeholder until the workflow lands; replaced, not kept.
#include <stdexcept>
#include "window/frmRavlin.h"
namespace ravlin {
void frmRavlin::cmdRegister_Click() { throw std::logic_error("not built yet"); }
void frmRavlin::cmdUnregister_Click() { throw std::logic_error("not built yet"); }
void frmRavlin::cmdProceed_Click() { throw std::logic_error("not built yet"); }
void frmRavlin::cmdCancel_Click() { throw std::logic_error("not built yet"); }
void frmRavlin::text1_Change() { throw std::logic_error("not built yet"); }
void frmRavlin::File1_MouseDown(int16_t, int16_t, float, float) { throw std::logic_error("not built yet"); }
}  // namespace ravlin
