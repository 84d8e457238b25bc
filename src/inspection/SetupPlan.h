#pragma once
// What installing a setup folder would do, line by line, decided before
// anything is written: the system's own files kept whatever their version,
// the Visual Basic runtime only when missing, a shared control by version,
// the program's files into its folder and never over a file there.
#include <string>
#include <vector>

#include "inspection/SetupList.h"
#include "platform/Platform.h"

namespace ravlin {

// Where the list's macros point on this machine.
struct SetupFolders {
  std::string setup;    // the folder of SETUP.LST
  std::string program;  // $(AppPath)
  std::string system;   // $(WinSysPath), $(WinSysPathSysFile): the 32-bit programs' system folder
  std::string windows;  // $(WinPath)
  std::string programFiles;
  std::string commonFiles;
};

// What was taken out of the list's cabinets before planning.
struct SetupSources {
  std::string unpacked;                 // the new folder the members went into; "" when none
  std::vector<std::string> written;     // the bare names taken out, as the list names them
  std::vector<std::string> damaged;     // cabinets that are damaged or no cabinet
  std::vector<std::string> absent;      // cabinets the list names that are not in the folder
};

struct PlannedFile {
  enum class Step { Install, Keep, Pass };
  enum class Why {
    Missing,          // Install: not there yet
    SystemOwn,        // Keep: the system's own file, never replaced
    SystemOwnAbsent,  // Pass: the system's own file, which this system lacks: never written
    RuntimeThere,     // Keep: the Visual Basic runtime is there
    SameOrNewer,      // Keep: the file there is as new or newer
    PackageNewer,     // Keep: the package's is newer; both versions are shown; replaced when the user asks
    Replaces,         // Install: the package's is newer and the user asked; the one there goes to backup
    SystemProtects,   // Keep: the package's is newer, but Windows File Protection guards the one there
    AlreadyThere,     // Keep: a file of that name is in that folder; not replaced
    SetupOwn,         // Pass: the setup program's own file
    NamedTwice,       // Pass: the line named at file.firstLine does it
    NoSource,         // Pass: in no cabinet and not beside the list
    Compressed,       // Pass: beside the list only packed by compress.exe, and it could not be unpacked
  };
  SetupFile file;
  Step step = Step::Pass;
  Why why = Why::NoSource;
  std::string target;          // where it goes, in full
  std::string source;          // the copy to take, when there is one: Install takes it
  std::string presentVersion;  // Keep by version: the file there's
  std::string backup;          // PackageNewer with a source, Replaces: where the one there is kept when replaced
  // What the line's registration comes to: done on what is installed or kept
  // in place (never on the system's own files), not done otherwise.
  bool registers = false;
};

struct SetupPlan {
  SetupFolders folders;
  std::string title;
  std::string program;  // AppExe in the program folder; "" when the list names none
  std::vector<PlannedFile> files;
  std::vector<SetupLineProblem> problems;
  SetupSources sources;
  bool replacing = false;  // the user asked to replace what the package has newer
};

// The plan for list with its macros pointed at folders, its cabinets' members
// as sources says; what is there now is read through the platform.
SetupPlan PlanSetup(Platform& platform, SetupList list, const SetupFolders& folders, SetupSources sources);

// The lines whose package copy is newer than the one there become Replaces
// when replace, and PackageNewer again when not; no other line changes.
void ChooseReplacing(SetupPlan& plan, bool replace);
// Whether the plan has a line replacing could change: one the user may ask for.
bool OffersReplacing(const SetupPlan& plan);

// The folder a line's files go into.
std::string FolderFor(const SetupFolders& folders, const SetupFile& file);

}  // namespace ravlin
