#include "platform/ResumeNext.h"
#include "texts/StateTexts.h"
#include "texts/Texts.h"
#include "window/frmRavlin.h"

namespace ravlin {

// No trap of its own: a failing label operation reaches the caller. The
// window-level fields change only when a block was read.
void frmRavlin::ShowFileInfo(const std::string& inFile) {
  const VersionSummary summary = ReadVersionSummary(platform_, inFile);
  if (summary.readResult) mApiResult = *summary.readResult;
  if (summary.blockRead) {
    mCompanyName = summary.company;
    mProductVersion = summary.version;
  }
  lblPleaseVerify.SetVisible(summary.HasVersion());
  lblFileInfo.SetCaption(FileInfoCaption(summary));
}

// The state is read in the registry view of the file's own architecture.
std::string frmRavlin::RegistrationLine(const std::string& inFileSpec) {
  return RegistrationLineOf(platform_, inFileSpec);
}

void frmRavlin::ShowCompanionState() {
  const std::string line = RegistrationLine(mCompanionPath);
  ResumeNext([&] { lblCompanionState.SetCaption(line); });
}

}  // namespace ravlin
