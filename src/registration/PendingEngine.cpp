// Placeholder until the registration engine lands; replaced, not kept.
#include <stdexcept>
#include "window/frmRavlin.h"
namespace ravlin {
frmRavlin::~frmRavlin() = default;
void frmRavlin::RegServerProc(std::string, const std::string&) { throw std::logic_error("not built yet"); }
void frmRavlin::ReleaseEndedWorkers() {}
}  // namespace ravlin
