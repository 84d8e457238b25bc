#pragma once
// The runtime services the form leans on besides its window: the program's
// path and command line, directory lookup, numbered files and error texts.
#include <windows.h>

#include <array>
#include <string>

#include "platform/win32/Handles.h"

namespace ravlin {

// The standard description of a Windows error code.
std::string DescribeError(DWORD error);

// Not hidden, system, a directory or a device: what directory lookups list.
bool IsOrdinaryFile(DWORD attributes);

class RuntimeServices {
 public:
  std::string AppPath();
  static std::string Command();  // needs no instance: the command line reads it too
  std::string Dir(const std::string& pathName);
  int FreeFile();
  void OpenForInput(int fileNumber, const std::string& path);
  void OpenForOutput(int fileNumber, const std::string& path);
  void Print(int fileNumber, const std::string& text);
  void Close(int fileNumber);

 private:
  void Open(int fileNumber, const std::string& path, DWORD access, DWORD share, DWORD creation);

  // By number; 0 and numbers past the last are never open.
  UniqueHandle* Slot(int fileNumber);

  std::array<UniqueHandle, 256> files_;
};

}  // namespace ravlin
