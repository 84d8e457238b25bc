// The floor for start-up latency: a program built as ravlin.exe is (same
// compiler, flags, static runtime and manifest) that does nothing but show a
// message box like the program's start-up box.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  MessageBoxA(nullptr, "NOT FOUND: c:\\windows\\syswow64\\RICHTX32.OCX", "RICHTX32 registerring tool", MB_OK);
  return 0;
}
