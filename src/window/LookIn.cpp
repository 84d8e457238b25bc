// A folder named while a program's controls are listed: the old setup folder,
// a CD or a download, where the controls found nowhere else may be.
#include "registration/LookFolder.h"
#include "requests/ProgramRequest.h"
#include "texts/Hints.h"
#include "texts/ProgramTexts.h"
#include "window/frmRavlin.h"

namespace ravlin {

void frmRavlin::cmdLookIn_Click() {
  if (!mProgram) return;
  const std::string folder = toolkit_.BrowseForFolder(text::kLookInPrompt, mProgram->folder);
  if (!folder.empty()) LookInFolder(folder);
}

void frmRavlin::LookInFolder(const std::string& folder) {
  if (!mProgram) return;
  SetPointer(MousePointer::Hourglass);
  const std::optional<FolderLook> look =
      LookForMissingControls(platform_, *mProgram, folder, mRegisterMode ? Action::Register : Action::Unregister);
  SetPointer(MousePointer::Default);
  if (!look) return;
  if (!look->temporary.empty()) mLookFolders.push_back(look->temporary);
  lblControls.SetCaption(ControlList(*mProgram));
  const std::string message = FolderLookMessage(*look);
  if (!message.empty()) Tell(message);
}

void frmRavlin::RemoveLookFolders() {
  for (const std::string& folder : mLookFolders) RemoveLookFolder(platform_, folder);
  mLookFolders.clear();
}

}  // namespace ravlin
