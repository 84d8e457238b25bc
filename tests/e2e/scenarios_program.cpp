// A Visual Basic program named in place of a control: its controls and their
// state before confirming, a run over them, and what unregistering keeps.
#include "Driver.h"

#include <cstdio>

using namespace ravlin;

namespace e2e {
namespace {

// Where 32-bit programs' shared controls lie, as the program names that folder.
std::string SharedFolder() {
  char path[MAX_PATH] = {};
  if (GetSystemWow64DirectoryA(path, MAX_PATH) == 0) GetSystemDirectoryA(path, MAX_PATH);
  return path;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Runs the confirmed action's boxes: the question, then the run's one message.
std::string ProceedAndTakeMessage(Session& s) {
  s.Click(IdCmdProceed);
  if (s.TakeBox() != "WWW") return "(no question)";
  const std::string message = s.TakeBox(60000);
  s.WaitVisible(IdCmdRegister);
  return message;
}

// The test program lists Wine's scripting host (in the system folder, registered),
// the test control with a real class (beside the program) and a control that is nowhere.
SCENARIO(AVisualBasicProgramsControlsAreListedRegisteredAndTheSharedOneKept) {
  const std::string program = FixturePath("vbprogram.exe");
  if (!Exists(program) || GetEnvironmentVariableA("RAVLIN_NO_32BIT", nullptr, 0) != 0) {
    std::printf("  (skipped: no 32-bit compiler for the test program, or no 32-bit programs on this host)\n");
    return;
  }
  const std::string shell = "wshom.ocx: registered, " + SharedFolder() + "\\wshom.ocx";
  // The test control beside it is 32-bit, as the program is: the 64-bit build's has a name of its own.
  const std::string control = sizeof(void*) == 8 ? "realclass32.ocx" : "realclass.ocx";
  const std::string beside = FixturePath(control);
  const std::string found = control + ": not registered, found beside the program";
  const std::string nowhere =
      "ravlinnowhere.ocx: not found; put a copy beside the program or in the system folder, or look in a folder";
  const std::string runtime = "Runtime MSVBVM60.DLL: found, " + FixturePath("MSVBVM60.DLL") + "\r\n";
  const std::string lookedIn = "(looked in " + DriverDir() + "\\fixtures and " + SharedFolder() + ").";

  const UnmanagedWindows unmanaged({"ravlin.exe"});  // Wine draws the frame itself, as Windows does
  Session s;
  s.StartIdle();
  HWND main = s.Main();
  RECT frame;
  GetWindowRect(main, &frame);
  SetWindowPos(main, nullptr, 0, 0, frame.right - frame.left, 840, SWP_NOMOVE | SWP_NOZORDER);
  s.SetText(IdText1, program);
  s.Click(IdCmdRegister);
  if (!Check(s.WaitVisible(IdCmdProceed, true, 30000), "confirming the program's controls")) return;
  CheckEq(s.Text(IdLblControls),
          runtime + shell + "\r\n" + found + "\r\n" + nowhere, "before registering");
  Sleep(400);
  s.Screenshot(ArtifactDir() + "\\program-controls.bmp", main);
  CheckEq(ProceedAndTakeMessage(s),
          "Registered 1 of 1 control.\r\n\r\n" + shell + "\r\n" + control +
              ": Process completed\r\n    now registered, " + beside + "\r\n\r\nNot found: ravlinnowhere.ocx " + lookedIn +
              "\r\n\r\nPress Try it to start the program and see whether it runs now.",
          "the run's message");
  CheckEq(s.Text(IdLblControls), runtime + shell + "\r\n" + control + ": registered, " + beside + "\r\n" + nowhere,
          "after registering");

  s.Click(IdCmdUnregister);
  if (!Check(s.WaitVisible(IdCmdProceed, true, 30000), "confirming the unregistration")) return;
  CheckEq(ProceedAndTakeMessage(s),
          "Unregistered 1 of 1 control.\r\n\r\n" + control +
              ": Process completed\r\n    now not registered, found beside the program\r\n\r\n"
              "Kept, shared with other programs: wshom.ocx.\r\n\r\nNot found: ravlinnowhere.ocx " + lookedIn,
          "unregistering keeps the system folder's control");
  CheckEq(s.Text(IdLblControls), runtime + shell + "\r\n" + found + "\r\n" + nowhere, "after unregistering");
}

}  // namespace
}  // namespace e2e
