#pragma once
// The program's one window: its controls, its window-level variables, its
// event handlers and member routines. The work is done below it, by the
// registrar and the readers; the window presents what they return.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "inspection/FileIdentity.h"
#include "inspection/ProgramState.h"
#include "platform/Controls.h"
#include "platform/FormHost.h"
#include "platform/Platform.h"
#include "platform/Toolkit.h"
#include "registration/BackgroundRead.h"
#include "registration/Registrar.h"
#include "registration/SetupRequest.h"
#include "window/ControlIds.h"

namespace ravlin {

// The idle timer's interval, and its interval while a state line is being read.
constexpr uint32_t kIdleTimerMs = 500;
constexpr uint32_t kReadingTimerMs = 50;
// A read of the state that ends within this is shown with the confirmation;
// a longer one, or one of more classes than a quick read covers, once it
// ends, the window answering meanwhile.
constexpr uint32_t kStateShownWithinMs = 1000;

class frmRavlin final : public FormHost {
 public:
  frmRavlin(Toolkit& toolkit, Platform& platform);
  frmRavlin(const frmRavlin&) = delete;
  frmRavlin& operator=(const frmRavlin&) = delete;

  // Controls, named as in the layout table.
  CommandButton Command2;
  std::array<CommandButton, 2> Command1;
  FileListBox File1{"*.ocx"};
  CommandButton cmdExit;
  CommandButton cmdUnregister;
  CommandButton cmdRegister;
  TextBox text1;
  CommandButton cmdProceed;
  CommandButton cmdCancel;
  CommandButton cmdNoRegistry;
  CommandButton cmdTryIt;
  CommandButton cmdLookIn;
  CommandButton cmdReplace;
  Label Label2;
  std::array<Label, 2> Label1;
  Label lblPleaseVerify;
  Label lblFileInfo;
  Label lblOCXFileSpec;
  Label lblCompanionState;
  Label lblState;
  Label lblArguments;
  Label lblControls;

  // The layout table, and the control it names with this identifier.
  FormLayout Layout() const override;
  Control& ControlById(int id) override;

  // Event handlers.
  void Form_Load() override;
  void Form_Unload(int16_t& cancel) override;
  void Form_DropFiles(const std::string& path) override;
  void Command1_Click(int16_t index);
  void Command2_Click();
  void cmdExit_Click();
  void cmdRegister_Click();
  void cmdUnregister_Click();
  void cmdProceed_Click();
  void cmdCancel_Click();
  // A program's controls described in a manifest beside it instead of registered.
  void cmdNoRegistry_Click();
  // The program whose controls were just set up, started and watched.
  void cmdTryIt_Click();
  // A folder named for the program's missing controls: the old setup, a CD.
  void cmdLookIn_Click();
  void cmdReplace_Click();
  void text1_Change();
  void File1_MouseDown(int16_t button, int16_t shift, float x, float y);
  // The idle timer: what ended after its time-out is told now.
  void Timer1_Timer();

  // Public member routines.
  bool is64();
  std::string GetSystemPath();
  bool IsFileThere(const std::string& inFileSpec);
  // Reports a failure itself; the result tells the caller whether the file was written.
  bool Savetext(const std::string& file, const std::string& buffer);

 private:
  friend struct FormProbe;  // unit tests

  void SetButtonMode(bool bIdle);
  // What a change of the text makes stale: the information shown about the last file.
  void ClearShownInformation();
  // The file specification in text1, without the quotes a copied path may carry.
  std::string FileSpec() const;
  // Runs the command on the file, then tells the user what came of it.
  void RegServerProc(std::string inDllFile, const std::string& inCommand);
  void Present(const Outcome& outcome);
  // The file's company name and product version, read and shown.
  void ShowFileInfo(const std::string& inFile);
  // What is registered to the file now, in a sentence; "" when it cannot be told.
  std::string RegistrationLine(const std::string& inFileSpec);
  // Notes what the file the user is asked to confirm is now (its version
  // summary only for a registration).
  void RecordConfirmed(const std::string& fileSpec);
  // Whether the file named now differs from what the user confirmed; then
  // says so and shows what it is now, for confirmation again.
  bool ChangedSinceConfirmed();
  // The confirmation's state line, read off this thread where one can start.
  void ReadConfirmationState(const std::string& inFileSpec);
  // Shows the confirmation's read once it has ended.
  void TakeConfirmationState();
  void ShowConfirmationState(const FinishedRead& read);
  // The confirmation's read is dropped, its line never shown.
  void DropConfirmationState();
  // The confirmation's read, for the read after a yes to start from; none when there is none.
  std::optional<ReadBasis> ConfirmedBasis();
  // The companion's state line, read again off this thread once its script has ended.
  void ReadCompanionState();
  void TakeCompanionState();
  // The idle timer, quicker while a state line is being read.
  void PaceTimer();
  // The companion control's state, read again once its script has ended.
  void ShowCompanionState();
  // A message box whose failure is not the caller's.
  void Tell(const std::string& message);
  void SetPointer(MousePointer pointer);
  // What Register or Unregister was given, confirmed or told: true only for a
  // control file, which goes the general way.
  bool ConfirmNamed(const std::string& fileSpec, bool registering);
  // A Visual Basic program named in place of a control: its controls shown for confirmation.
  void ConfirmProgram(ProgramState program, bool registering);
  // Proceed on a program: its controls one after another, then one message.
  void ProceedProgram();
  // The program's missing controls looked for in the folder, the list shown again.
  void LookInFolder(const std::string& folder);
  // A setup folder (or its SETUP.LST) named: its plan, or what Unregister
  // would undo, shown for confirmation (true), or why not, told (true too);
  // false for anything else.
  bool ConfirmSetup(const std::string& fileSpec, bool registering);
  // Proceed on a setup folder: the plan carried out, or undone, then one message.
  void ProceedSetup();
  // The folders the looks took cabinets' controls into, removed.
  void RemoveLookFolders();

  Toolkit& toolkit_;
  Platform& platform_;
  Registrar registrar_;
  BackgroundRead stateRead_;
  BackgroundRead companionRead_;
  uint32_t mTimerMs = kIdleTimerMs;
  // The confirmation's read, for the read after a yes to start from.
  std::optional<ReadBasis> mConfirmedBasis;

  // Window-level variables.
  std::string mCompanyName;
  std::string mProductVersion;
  bool mRegisterMode = false;
  std::optional<int64_t> mApiResult;
  std::string mCrLf;
  bool mOcxFound = false;
  std::string mCompanionPath;
  // The file as the user confirmed it: as named, its full path and what it was then.
  std::string mConfirmedSpec;
  std::string mConfirmedPath;
  FileIdentity mConfirmed;
  // The program being confirmed, and its controls' state; none for a control file.
  std::optional<ProgramState> mProgram;
  // The setup folder being confirmed, and its plan; none for anything else.
  std::unique_ptr<PreparedSetup> mSetup;
  // The folders the looks at the program's controls made; removed with its rows.
  std::vector<std::string> mLookFolders;
  // The program Try it starts; "" when there is none to try.
  std::string mTryProgram;
  // While what was confirmed runs: a change of the text then does not undo it.
  bool mProceeding = false;
  // The companion's script while it runs; its state is read again when it ends.
  OwnedHandle mScriptProcess{nullptr, HandleReleaser{nullptr}};
};

}  // namespace ravlin
