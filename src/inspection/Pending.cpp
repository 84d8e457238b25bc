// Placeholder until the version reader lands; replaced, not kept.
#include <stdexcept>
#include "window/frmRavlin.h"
namespace ravlin {
bool frmRavlin::ReadVersionInfo(const std::string&) { throw std::logic_error("not built yet"); }
void frmRavlin::ShowFileInfo(const std::string&) { throw std::logic_error("not built yet"); }
}  // namespace ravlin
