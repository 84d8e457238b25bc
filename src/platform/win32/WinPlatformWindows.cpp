// The platform's start of a program tried in its own folder, and the look at
// its windows.
#include <windows.h>

#include <cstring>

#include "platform/win32/WinPlatform.h"
#include "platform/win32/WideText.h"

namespace ravlin {
namespace {

// Only bridges the calling convention: the program's callback does the work.
struct WindowsWalk {
  EnumWindowsCallback callback;
  intptr_t parameter;
};

BOOL CALLBACK EachWindow(HWND window, LPARAM walk) {
  const WindowsWalk* each = reinterpret_cast<const WindowsWalk*>(walk);
  return each->callback(window, each->parameter) != 0;
}

// As the 8-bit functions answer a text they cut to the buffer: what fits, and its length.
int32_t CutOut(const std::string& text, char* buffer, int32_t maxCount) {
  if (!buffer || maxCount <= 0) return 0;
  const size_t length = text.size() < static_cast<size_t>(maxCount) ? text.size() : static_cast<size_t>(maxCount) - 1;
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return static_cast<int32_t>(length);
}

}  // namespace

int32_t WinPlatform::CreateProcessInDirectoryA(const char* applicationName, char* commandLine,
                                               const char* currentDirectory, ProcessInformation* information) {
  return StartProcess(applicationName, commandLine, 0, currentDirectory, information);
}

int32_t WinPlatform::EnumWindows(EnumWindowsCallback callback, intptr_t parameter) {
  WindowsWalk walk{callback, parameter};
  return ::EnumWindows(&EachWindow, reinterpret_cast<LPARAM>(&walk));
}

uint32_t WinPlatform::GetWindowThreadProcessId(Hwnd window, uint32_t* processId) {
  DWORD process = 0;
  const DWORD thread = ::GetWindowThreadProcessId(static_cast<HWND>(window), &process);
  if (processId) *processId = process;
  return thread;
}

int32_t WinPlatform::IsWindowVisible(Hwnd window) { return ::IsWindowVisible(static_cast<HWND>(window)); }

int32_t WinPlatform::GetClassNameA(Hwnd window, char* className, int32_t maxCount) {
  wchar_t name[256] = {};
  const int length = ::GetClassNameW(static_cast<HWND>(window), name, 256);
  return length > 0 ? CutOut(Narrow(name, static_cast<size_t>(length)), className, maxCount) : 0;
}

uint32_t WinPlatform::GetDlgItemTextA(Hwnd dialog, int32_t itemId, char* text, int32_t maxCount) {
  const HWND item = ::GetDlgItem(static_cast<HWND>(dialog), itemId);
  if (!item) return CutOut({}, text, maxCount);
  WideText wide(static_cast<size_t>(::GetWindowTextLengthW(item)) + 1, L'\0');
  const int length = ::GetWindowTextW(item, wide.data(), static_cast<int>(wide.size()));
  return static_cast<uint32_t>(CutOut(Narrow(wide.data(), static_cast<size_t>(length)), text, maxCount));
}

}  // namespace ravlin
