// A program's controls described in a manifest beside it, so it finds them
// without the registry: the third choice while confirming a program.
#include "sidebyside/ProgramManifest.h"
#include "texts/ManifestTexts.h"
#include "window/frmRavlin.h"

namespace ravlin {

void frmRavlin::cmdNoRegistry_Click() {
  if (!mProgram) return;
  const ProgramState program = *mProgram;
  SetPointer(MousePointer::Hourglass);
  const ManifestResult result = WriteProgramManifest(platform_, program);
  SetPointer(MousePointer::Default);
  Tell(ManifestMessage(result));
  text1_Change();
  SetButtonMode(true);
}

}  // namespace ravlin
