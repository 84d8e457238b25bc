#include "platform/ResumeNext.h"
#include "platform/Text.h"
#include "registration/LookFolder.h"
#include "requests/NamedFile.h"
#include "texts/Texts.h"
#include "window/CommandLineFile.h"
#include "window/frmRavlin.h"

namespace ravlin {

// Every step is guarded: start-up never stops and reports no error of its own.
void frmRavlin::Form_Load() {
  bool found = false;      // a failing lookup counts as not found
  std::string controlDirectory;
  std::string rememberedDirectory;
  std::string controlPath;
  std::string advice;

  ResumeNext([&] { mCrLf = "\r\n"; });
  ResumeNext([&] {
    lblOCXFileSpec.SetCaption(text::kFileSpecLabel + mCrLf + text::kFileSpecExample);
  });
  ResumeNext([&] { lblPleaseVerify.SetVisible(false); });
  ResumeNext([&] { SetButtonMode(true); });
  ResumeNext([&] { File1.SetPath(GetSystemPath()); });
  controlPath = CompanionPath(platform_);
  controlDirectory = FolderOf(controlPath);
  rememberedDirectory = controlDirectory;
  mCompanionPath = controlPath;
  ResumeNext([&] { text1.SetText(controlPath); });
  ResumeNext([&] { found = !toolkit_.Dir(controlPath).empty(); });
  ResumeNext([&] {
    mOcxFound = found;
    if (found) {
      Label2.SetCaption(text::kFound);
      advice = RegistrationLine(controlPath);  // is it registered, and to which file?
      lblCompanionState.SetCaption(advice);
    } else {
      Label2.SetCaption(text::kNotFound);
      advice = text::kPleasePlace + rememberedDirectory + mCrLf + mCrLf + text::kInZip;
    }
  });
  ResumeNext([&] { toolkit_.MsgBox(Label2.Caption() + " " + controlPath + mCrLf + mCrLf + advice); });
  ResumeNext([&] { lblArguments.SetCaption(NamedFilesLine(NameCommandLineFile(toolkit_, platform_, text1))); });
  ResumeNext([&] { Label2.SetForeColor(QBColor(mOcxFound ? 2 : 12)); });
  // What the looks of a run that has ended took out of cabinets.
  RemoveEndedLookFolders(platform_);
  ResumeNext([&] { toolkit_.SetTimer(kIdleTimerMs, [this] { Timer1_Timer(); }); });
}

}  // namespace ravlin
