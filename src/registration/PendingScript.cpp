// Placeholder until the script registration lands; replaced, not kept.
#include <stdexcept>
#include "window/frmRavlin.h"
namespace ravlin {
bool frmRavlin::Savetext(const std::string&, const std::string&) { throw std::logic_error("not built yet"); }
void frmRavlin::Command1_Click(int16_t) { throw std::logic_error("not built yet"); }
}  // namespace ravlin
