#pragma once
// SETUP.LST, the list a Visual Basic setup folder carries: what its setup
// would copy where, and how it would register each file. Read as data: no
// file is looked at, and a destination outside the folders its macros name
// is refused here, before anything else sees it.
#include <cstddef>
#include <string>
#include <vector>

namespace ravlin {

// The folders a line may name, by their macros.
enum class SetupFolder {
  WinSysPath,         // $(WinSysPath): the system folder of 32-bit programs
  WinSysPathSysFile,  // $(WinSysPathSysFile): the same, for the system's own files
  AppPath,            // $(AppPath): the program's folder
  WinPath,            // $(WinPath)
  ProgramFiles,       // $(ProgramFiles)
  CommonFiles,        // $(CommonFiles)
  CommonFilesSys,     // $(CommonFilesSys): CommonFiles\System
  MSDAOPath,          // $(MSDAOPath): CommonFiles\Microsoft Shared\DAO
};

enum class SetupRegistration { None, DllSelfRegister, ExeSelfRegister, TlbRegister, Remote, VblRegister };

struct SetupFile {
  size_t line = 0;           // from 1
  std::string name;          // a bare file name, in the program's UTF-8
  bool inCabinet = false;    // "@": a member of the list's cabinets
  std::string besideName;    // the file beside the list: the older form's packed name, else name
  SetupFolder folder = SetupFolder::AppPath;
  std::string subFolder;     // "Data\\Images" after the macro; "" for none
  SetupRegistration registration = SetupRegistration::None;
  std::string version;       // "1.9.0.23"; "" when the line gives none
  size_t firstLine = 0;      // named twice (same name and place): the line that named it first
};

struct SetupLineProblem {
  enum class Why { NotALine, Fields, Name, UnknownFolder, OutsideFolders, UnknownRegistration };
  size_t line = 0;
  Why why = Why::NotALine;
  std::string text;  // the line as written, in UTF-8
};

struct SetupList {
  std::string title;
  std::string defaultDir;  // "$(ProgramFiles)\\pdfPrint"
  std::string appExe;      // a bare name; "" when none (or not a bare name)
  std::vector<std::string> cabinets;  // bare names, in order
  std::vector<SetupFile> files;       // in the list's order
  std::vector<SetupLineProblem> problems;
};

// The list's bytes, each line read as UTF-8 or, when it is not, as Windows-1252.
SetupList ReadSetupList(const std::string& bytes);

// Whether name may be used as one file's name in a folder: no separator, no
// drive, not "." or "..", no device.
bool IsBareFileName(const std::string& name);

// The folder name the program goes into under Program Files: DefaultDir's last
// part, else the title; "" when neither is a bare name.
std::string ProgramFolderName(const SetupList& list);

}  // namespace ravlin
