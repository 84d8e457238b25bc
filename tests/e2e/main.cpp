// uidriver [scenario-name-part ...]   runs the scenarios
// uidriver --screenshots              starts the program, saves the start-up box and the
//                                     window as it opens and dragged taller, ends it
#include <cstdio>
#include <cstring>

#include "Driver.h"

namespace {

int SaveStartScreenshots() {
  // Left to a window manager that a bare virtual display does not have, Wine
  // shows the window only seconds after the box has gone; unmanaged, it shows
  // it at once and draws its frame itself, as Windows does.
  const e2e::UnmanagedWindows unmanaged({"ravlin.exe"});
  e2e::Session session;
  if (session.WaitBox().empty()) {
    std::printf("no start-up box appeared\n");
    return 1;
  }
  Sleep(300);
  session.Screenshot(e2e::ArtifactDir() + "\\startup-box.bmp", session.Box());
  session.DismissBox();
  session.WaitShown();
  HWND main = session.Main();
  Sleep(500);
  session.Screenshot(e2e::ArtifactDir() + "\\window.bmp", main);
  session.DragTaller();
  Sleep(500);
  session.Screenshot(e2e::ArtifactDir() + "\\window-taller.bmp", main);
  PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  return session.WaitExit() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--screenshots") == 0) return SaveStartScreenshots();
  return e2e::RunScenarios(argc, argv);
}
