// A program's controls described in a manifest beside it, so it finds them
// without the registry: the third choice while confirming a program.
#include "requests/ProgramRequest.h"
#include "texts/ManifestTexts.h"
#include "texts/ProgramTexts.h"
#include "window/frmRavlin.h"

namespace ravlin {

void frmRavlin::cmdNoRegistry_Click() {
  if (!mProgram) return;
  const ProgramState program = *mProgram;
  SetPointer(MousePointer::Hourglass);
  const ManifestResult result = DescribeInManifest(platform_, program);
  SetPointer(MousePointer::Default);
  const bool written = result.kind == ManifestResult::Kind::Written;
  Tell(written ? WithTryItOffer(ManifestMessage(result)) : ManifestMessage(result));
  ClearShownInformation();
  if (written) mTryProgram = program.program;
  SetButtonMode(true);
}

}  // namespace ravlin
