#pragma once
// Windows on the display: a wait that keeps the program's own painting, the
// top-level windows of a program tried, and the shell's launch. One virtual
// per Windows function, with the same arguments and results.
#include <cstdint>

#include "platform/SystemTypes.h"

namespace ravlin {

// EnumWindows' callback in the program's own calling convention: 0 stops the walk.
using EnumWindowsCallback = int32_t (*)(Hwnd window, intptr_t parameter);
constexpr int kSwShowNormal = 1;

class WindowPlatform {
 public:
  virtual ~WindowPlatform() = default;

  // WaitForSingleObject's arguments and results. Meanwhile the calling thread's
  // windows keep painting and answer what the system sends them; keyboard and
  // mouse input that arrived during the wait is dropped when it ends, so no
  // click made while busy starts another action.
  virtual uint32_t WaitKeepingWindowAlive(Handle handle, uint32_t milliseconds) = 0;
  // ShellExecuteEx with SEE_MASK_NOCLOSEPROCESS, its fields as arguments: *process
  // gets the process started, null when the shell started none; the caller closes it.
  virtual int32_t ShellExecuteExA(Hwnd owner, const char* verb, const char* file, const char* parameters,
                                  const char* directory, int showCommand, Handle* process) = 0;
  virtual int32_t EnumWindows(EnumWindowsCallback callback, intptr_t parameter) = 0;
  virtual uint32_t GetWindowThreadProcessId(Hwnd window, uint32_t* processId) = 0;
  virtual int32_t IsWindowVisible(Hwnd window) = 0;
  virtual int32_t GetClassNameA(Hwnd window, char* className, int32_t maxCount) = 0;
  virtual uint32_t GetDlgItemTextA(Hwnd dialog, int32_t itemId, char* text, int32_t maxCount) = 0;
};

}  // namespace ravlin
