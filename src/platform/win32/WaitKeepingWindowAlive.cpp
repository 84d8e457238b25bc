// The bounded wait of a registration: the window keeps painting and can be
// closed, and takes no other input.
#include <windows.h>

#include "platform/win32/WinPlatform.h"

namespace ravlin {
namespace {

// Lets run only what keeps the thread's windows alive: the messages other
// threads and the system send (any peek delivers them) and paints.
void KeepWindowsAlive() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE))
    ::DispatchMessageA(&message);
}

// A request to close a window: its caption button, Alt+F4, its system
// menu's Close, or WM_CLOSE itself.
bool IsCloseRequest(const MSG& message) {
  switch (message.message) {
    case WM_CLOSE: return true;
    case WM_SYSCOMMAND: return (message.wParam & 0xFFF0) == SC_CLOSE;
    case WM_NCLBUTTONDOWN: return message.wParam == HTCLOSE;
    case WM_SYSKEYDOWN: return message.wParam == VK_F4;
    default: return false;
  }
}

// Keys and clicks made while the thread was busy go, and so do the close
// requests among them and among the posted messages; the window that one
// was meant for, if any.
HWND DropInput() {
  HWND closing = nullptr;
  MSG message;
  const auto take = [&](UINT first, UINT last, UINT filter) {
    while (::PeekMessageA(&message, nullptr, first, last, PM_REMOVE | filter))
      if (!closing && message.hwnd && IsCloseRequest(message)) closing = ::GetAncestor(message.hwnd, GA_ROOT);
  };
  take(0, 0, PM_QS_INPUT);
  take(WM_CLOSE, WM_CLOSE, 0);
  take(WM_SYSCOMMAND, WM_SYSCOMMAND, 0);
  take(WM_SYSKEYDOWN, WM_SYSKEYDOWN, 0);
  return closing;
}

// Windows marks a window "Not Responding" when its thread has not looked at
// its queue for 5 seconds, so it looks at least this often.
constexpr DWORD kLookIntervalMs = 1000;

}  // namespace

uint32_t WinPlatform::WaitKeepingWindowAlive(Handle handle, uint32_t milliseconds) {
  HANDLE waitable = handle;
  const ULONGLONG start = ::GetTickCount64();
  for (;;) {
    // What is left of the limit is recomputed after every wake-up.
    DWORD left = INFINITE;
    if (milliseconds != INFINITE) {
      const ULONGLONG passed = ::GetTickCount64() - start;
      left = passed >= milliseconds ? 0 : static_cast<DWORD>(milliseconds - passed);
    }
    const DWORD slice = left < kLookIntervalMs ? left : kLookIntervalMs;
    const DWORD result = ::MsgWaitForMultipleObjects(1, &waitable, FALSE, slice,
                                                     QS_SENDMESSAGE | QS_PAINT | QS_POSTMESSAGE | QS_KEY |
                                                         QS_MOUSEBUTTON);
    const bool woken = result == WAIT_OBJECT_0 + 1 || (result == WAIT_TIMEOUT && slice < left);
    // Closing the window means closing it now: its handler ends the program,
    // leaving a worker still running to the system.
    if (HWND closing = DropInput()) ::SendMessageA(closing, WM_CLOSE, 0, 0);
    if (!woken) return result;
    KeepWindowsAlive();
  }
}

}  // namespace ravlin
