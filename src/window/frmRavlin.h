#pragma once
// The program's one window: its controls, its window-level variables, its
// event handlers and member routines. Each routine is defined in the folder
// of the subsystem it belongs to.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "platform/FormHost.h"
#include "platform/Platform.h"
#include "platform/Toolkit.h"
#include "registration/Worker.h"
#include "window/ControlIds.h"

namespace ravlin {

class frmRavlin final : public FormHost {
 public:
  frmRavlin(Toolkit& toolkit, Platform& platform);
  ~frmRavlin();
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
  Label Label2;
  std::array<Label, 2> Label1;
  Label lblPleaseVerify;
  Label lblFileInfo;
  Label lblOCXFileSpec;

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
  void text1_Change();
  void File1_MouseDown(int16_t button, int16_t shift, float x, float y);

  // Public member routines.
  bool is64();
  std::string GetSystemPath();
  bool IsFileThere(const std::string& inFileSpec);
  // Reports a failure itself; the result tells the caller whether the file was written.
  bool Savetext(const std::string& file, const std::string& buffer);

 private:
  friend struct FormProbe;  // unit tests

  void SetButtonMode(bool bIdle);
  // The file specification in text1, without the quotes a copied path may carry.
  std::string FileSpec() const;
  void RegServerProc(std::string inDllFile, const std::string& inCommand);
  void ReportLoadFailure(const std::string& checkedPath, uint32_t loadError,
                         const std::string& inCommand);
  void HandOver(const std::string& tool, const std::string& fullPath, const std::string& inCommand);
  bool ReadVersionInfo(const std::string& inFile);
  void ShowFileInfo(const std::string& inFile);

  // A worker thread or a registration tool that outlived its wait: released
  // once it has ended. A tool has no library and no job.
  struct PendingWorker {
    Handle waitable;
    uint32_t threadId;
    Module library;
    std::unique_ptr<WorkerJob> job;
  };
  void KeepWorker(Handle waitable, uint32_t threadId, Module library, std::unique_ptr<WorkerJob> job);
  // A library whose control crashed: never released.
  void KeepCrashed(Module library);
  void ReleaseEndedWorkers();

  Toolkit& toolkit_;
  Platform& platform_;

  // Window-level variables.
  std::string mCompanyName;
  std::string mProductVersion;
  bool mRegisterMode = false;
  std::optional<int64_t> mApiResult;
  std::string mCrLf;
  bool mOcxFound = false;

  std::vector<PendingWorker> mPendingWorkers;
  std::vector<Module> mCrashedLibraries;
};

}  // namespace ravlin
