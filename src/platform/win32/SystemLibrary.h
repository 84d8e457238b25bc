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

}  // namespace ravlin
