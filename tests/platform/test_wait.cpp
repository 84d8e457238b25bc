// The responsive wait with a real window on the waiting thread, while other
// threads send to it, repaint it, type into it and signal the handle.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <thread>

#include "platform/win32/WinPlatform.h"

namespace ravlin {
namespace {

std::atomic<int> g_paints{0};
std::atomic<int> g_keys{0};  // keys that reached the window

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) ++g_paints;
  if (message == WM_KEYDOWN) ++g_keys;
  return DefWindowProcA(window, message, wParam, lParam);  // validates what it paints
}

using Window = std::unique_ptr<HWND__, BOOL(WINAPI*)(HWND)>;
using Event = std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)>;

// Shown, in front and with the focus, so that it gets paints and keys.
Window CountingWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = &CountingProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "RavlinWaitTest";
  RegisterClassA(&windowClass);  // fails harmlessly when an earlier case registered it
  Window window(CreateWindowExA(0, "RavlinWaitTest", "wait", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                200, 100, nullptr, nullptr, windowClass.hInstance, nullptr),
                &DestroyWindow);
  SetForegroundWindow(window.get());
  SetFocus(window.get());
  return window;
}

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

void PressSpace() {
  INPUT keys[2] = {};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = VK_SPACE;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof(INPUT));
}

TEST(WaitKeepingWindowAlive, TheWindowLivesTheLimitHoldsAndInputMadeMeanwhileIsDropped) {
  struct Case {
    const char* name;
    DWORD signalAfterMs;  // INFINITE: never
    uint32_t limitMs, result;
    ULONGLONG atLeastMs, atMostMs;
  };
  for (const Case& c : {Case{"signalled after a second", 1000, 10000, WAIT_OBJECT_0, 900, 3000},
                        Case{"never signalled, woken meanwhile", INFINITE, 1500, WAIT_TIMEOUT, 1450, 2500}}) {
    const Window window = CountingWindow();
    const Event event(CreateEventA(nullptr, TRUE, FALSE, nullptr), &CloseHandle);
    Pump();
    g_paints = g_keys = 0;
    std::atomic<bool> done{false};
    int answered = 0, unanswered = 0;
    // Another thread asks the window every 100 ms, as the system does; a third of
    // a second in, it also invalidates the window and presses a key.
    std::thread prober([&] {
      for (int tick = 0; !done; ++tick) {
        DWORD_PTR reply = 0;
        if (SendMessageTimeoutA(window.get(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 500, &reply)) ++answered;
        else ++unanswered;
        if (tick == 3) {
          InvalidateRect(window.get(), nullptr, TRUE);
          PressSpace();
        }
        Sleep(100);
      }
    });
    std::thread signaller([&] {
      if (c.signalAfterMs == INFINITE) return;
      Sleep(c.signalAfterMs);
      SetEvent(event.get());
    });

    const ULONGLONG start = GetTickCount64();
    const uint32_t result = WinPlatform().WaitKeepingWindowAlive(event.get(), c.limitMs);
    const ULONGLONG waited = GetTickCount64() - start;
    done = true;
    prober.join();
    signaller.join();
    Pump();

    EXPECT_EQ(result, c.result) << c.name;
    EXPECT_EQ(result, WaitForSingleObject(event.get(), 0)) << c.name << ": as the plain wait answers";
    EXPECT_TRUE(waited >= c.atLeastMs && waited <= c.atMostMs) << c.name << ": " << waited << " ms";
    EXPECT_GE(answered, 8) << c.name;
    EXPECT_EQ(unanswered, 0) << c.name;
    EXPECT_GE(g_paints.load(), 1) << c.name << ": repainted while waiting";
    EXPECT_EQ(g_keys.load(), 0) << c.name << ": the key pressed while waiting was dropped";
    // A key pressed now reaches the window: the input itself works.
    PressSpace();
    for (int i = 0; i < 20 && g_keys == 0; ++i) {
      Sleep(25);
      Pump();
    }
    EXPECT_EQ(g_keys.load(), 1) << c.name << ": a key pressed afterwards arrives";
  }
}

}  // namespace
}  // namespace ravlin
