#pragma once
// A setup folder's plan carried out, and undone from its record: folders
// made, files copied (never over one), the record written beside the
// program, then each registration the plan shows, through the same registrar
// as Proceed. A copy or the record that fails undoes every copy before it.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "inspection/InstallRecord.h"
#include "inspection/SetupPlan.h"
#include "registration/Registrar.h"

namespace ravlin {

// onNext(position, count, file) before each registration, from 1.
using SetupProgress = std::function<void(size_t, size_t, const std::string&)>;

struct SetupStepDone {
  PlannedFile planned;
  bool copied = false;
  std::optional<Outcome> outcome;       // a control's or a server program's registration
  std::optional<int32_t> typeLibrary;   // the system's type-library registration's HRESULT
};

struct SetupRun {
  enum class Why { Installed, AlreadyInstalled, FolderNotMade, CopyFailed, RecordNotWritten };
  Why why = Why::Installed;
  std::string failedPath;  // the folder, copy or record that failed
  uint32_t error = 0;      // its system error code
  std::string record;      // <AppExe>.install.txt beside the program
  std::vector<SetupStepDone> steps;  // the plan's lines, in order; none unless Installed
};

SetupRun InstallSetup(Platform& platform, Registrar& registrar, const SetupPlan& plan, const SetupProgress& onNext,
                      const std::function<void()>& onBusy);

struct UndoneEntry {
  InstallRecord::Entry entry;
  bool done = false;
  std::optional<Outcome> outcome;     // a control or a server program unregistered
  std::optional<int32_t> typeLibrary;
};

struct SetupUndo {
  bool recordRead = false;  // false: no record there, nothing was done
  std::string record;
  std::vector<UndoneEntry> entries;  // in the order undone: the record's backwards
};

// The record at recordPath undone backwards: each registration it holds
// unregistered, each file it replaced put back from its backup (still
// registered, as before), each file it installed deleted, the record itself,
// then the folders it made, where they are empty.
SetupUndo UndoInstall(Platform& platform, Registrar& registrar, const std::string& recordPath,
                      const SetupProgress& onNext, const std::function<void()>& onBusy);

// The record at recordPath; none when it is not there or cannot be read.
std::optional<InstallRecord> ReadInstallRecordAt(Platform& platform, const std::string& recordPath);

// The record's path for a plan: beside the program.
std::string RecordPathFor(const SetupPlan& plan);

}  // namespace ravlin
