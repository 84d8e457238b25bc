// A folder named while a program's controls are listed: the old setup folder,
// a CD or a download, where the controls found nowhere else may be.
#include "platform/ResumeNext.h"
#include "registration/FolderTake.h"
#include "registration/LookFolder.h"
#include "registration/ProgramRun.h"
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
  const uint32_t attributes = platform_.GetFileAttributesA(folder.c_str());
  if (!mProgram || attributes == kInvalidFileAttributes || !(attributes & kFileAttributeDirectory)) return;
  FolderLook look;
  look.folder = folder;
  SetPointer(MousePointer::Hourglass);
  // A look that fails halfway keeps what it found until then.
  ResumeNext([&] { look = ravlin::LookInFolder(platform_, *mProgram, folder); });
  SetPointer(MousePointer::Default);
  if (!look.temporary.empty()) mLookFolders.push_back(look.temporary);
  NoteConfirmed(platform_, *mProgram, mRegisterMode ? Action::Register : Action::Unregister);
  lblControls.SetCaption(ControlList(*mProgram));
  const std::string message = FolderLookMessage(look);
  if (!message.empty()) Tell(message);
}

void frmRavlin::RemoveLookFolders() {
  for (const std::string& folder : mLookFolders) RemoveLookFolder(platform_, folder);
  mLookFolders.clear();
}

}  // namespace ravlin
