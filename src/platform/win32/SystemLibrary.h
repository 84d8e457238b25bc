#pragma once
// A library the program itself loads by name, taken from the system folder
// only: never from the program's own folder, where a planted copy may lie.
#include <windows.h>

namespace ravlin {

class SystemLibrary {
 public:
  explicit SystemLibrary(const char* name);  // e.g. "version.dll"
  ~SystemLibrary();
  SystemLibrary(const SystemLibrary&) = delete;
  SystemLibrary& operator=(const SystemLibrary&) = delete;

  // An export (by name or MAKEINTRESOURCE ordinal) as the type of its
  // declaration; null when the library or the export is missing.
  template <typename Function>
  Function Find(const char* exportName) const {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(Export(exportName)));
  }

 private:
  FARPROC Export(const char* exportName) const;

  HMODULE module_;
};

// Libraries loaded on their first use rather than imported. The version
// library is not one Windows always takes from its own folder: imported, a
// version.dll beside the program would run. The others only later steps need
// (a drop, the folder picker, a registration, a type library, Try it):
// start-up then neither maps nor initialises them, and the shell alone
// brings two more libraries with it.
const SystemLibrary& VersionLibrary();     // version.dll
const SystemLibrary& ShellLibrary();       // shell32.dll
const SystemLibrary& ComLibrary();         // ole32.dll
const SystemLibrary& AutomationLibrary();  // oleaut32.dll

}  // namespace ravlin
