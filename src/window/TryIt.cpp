// The program whose controls were just registered or described, started from
// its own folder and watched for what its user sees first.
#include "platform/ResumeNext.h"
#include "registration/TryProgram.h"
#include "texts/ProgramTexts.h"
#include "window/frmRavlin.h"

namespace ravlin {

void frmRavlin::cmdTryIt_Click() {
  if (mTryProgram.empty()) return;
  ResumeNext([&] { lblState.SetCaption(TryingText()); });
  SetPointer(MousePointer::Hourglass);
  TryOutcome outcome;
  ResumeNext([&] { outcome = TryProgram(platform_, mTryProgram); });
  SetPointer(MousePointer::Default);
  ResumeNext([&] { lblState.SetCaption(""); });
  Tell(TryMessage(outcome));
}

}  // namespace ravlin
