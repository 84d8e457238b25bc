// Start-up, the window and closing, as the user sees them.
#include <algorithm>
#include <set>

#include "Driver.h"
#include "window/Layout.h"

using namespace ravlin;

namespace e2e {
namespace {

const char kPath[] = "c:\\windows\\syswow64\\RICHTX32.OCX";
const char kHint[] = "File specification of OCX/DLL\r\n    e.g. c:\\Windows\\System\\mswinsck.ocx";

// What every start shows besides the outcome of the check.
void CheckIdleWindow(Session& s) {
  HWND main = s.Main();
  CheckEq(s.Text(IdText1), kPath, "text1 holds the control path");
  Check(s.Focus() == s.Control(IdText1), "text1 has the focus");
  Check(!s.ReadOnly(IdText1), "text1 is editable");
  CheckEq(s.Text(IdLblOCXFileSpec), kHint, "the two-line hint");
  Check(!s.Visible(IdLblPleaseVerify), "lblPleaseVerify hidden");
  CheckEq(s.Text(IdLblFileInfo), "", "lblFileInfo empty");
  for (ControlId id : {IdCmdRegister, IdCmdUnregister, IdCmdExit})
    Check(s.Visible(id), "idle button " + std::to_string(id) + " shown");
  for (ControlId id : {IdCmdProceed, IdCmdCancel})
    Check(!s.Visible(id), "confirmation button " + std::to_string(id) + " hidden");
  char title[128] = {};
  GetWindowTextA(main, title, sizeof(title));
  CheckEq(title, "RICHTX32 registerring tool", "title");
}

SCENARIO(StartupFindsTheCompanionControl) {
  PlaceCompanion("server.ocx");
  Session s;
  const std::string box = s.WaitBox();
  // This control registers no class: it is found, and not registered.
  CheckEq(box, std::string("Found ") + kPath + "\r\n\r\nNot registered.", "start-up box");
  HWND main = s.Main(0);
  Check(!main || !IsWindowVisible(main), "the window is not shown while the box is up");
  char caption[128] = {};
  GetWindowTextA(s.Box(), caption, sizeof(caption));
  CheckEq(caption, "RICHTX32 registerring tool", "the box carries the application's title");
  s.DismissBox();
  s.WaitShown();
  Sleep(300);
  CheckEq(s.Text(IdLabel2), "Found", "Label2");
  Check(ShowsColour(s.Control(IdLabel2), RGB(0, 128, 0)), "Label2 is drawn in green");
  Check(!ShowsColour(s.Control(IdLabel2), RGB(255, 0, 0)), "Label2 has no red");
  CheckIdleWindow(s);
  RemoveCompanion();
}

SCENARIO(StartupReportsTheCompanionMissing) {
  RemoveCompanion();
  Session s;
  CheckEq(s.WaitBox(),
          std::string("NOT FOUND: ") + kPath +
              "\r\n\r\nPlease place RICHTX32.OCX in c:\\windows\\syswow64\r\n\r\n"
              "RICHTX32.OCX file isincluded in zip file",
          "start-up box");
  s.DismissBox();
  s.WaitShown();
  Sleep(300);
  CheckEq(s.Text(IdLabel2), "NOT FOUND:", "Label2");
  Check(ShowsColour(s.Control(IdLabel2), RGB(255, 0, 0)), "Label2 is drawn in light red");
  CheckIdleWindow(s);
}

SCENARIO(StartupIgnoresAHiddenCompanion) {
  PlaceCompanion("server.ocx");
  SetFileAttributesA(CompanionPath().c_str(), FILE_ATTRIBUTE_HIDDEN);
  Session s;
  Check(s.TakeBox().rfind("NOT FOUND: ", 0) == 0, "a hidden file counts as not found");
  RemoveCompanion();
}

SCENARIO(FileListShowsTheSystemDirectorysControls) {
  const std::string system = SystemDirectory();
  const std::string listed = system + "\\ravlin-listed.ocx";
  const std::string hidden = system + "\\ravlin-hidden.ocx";
  CopyFileA(FixturePath("server.ocx").c_str(), listed.c_str(), FALSE);
  CopyFileA(FixturePath("server.ocx").c_str(), hidden.c_str(), FALSE);
  SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);

  std::set<std::string> expected;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((system + "\\*.ocx").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY)))
        expected.insert(data.cFileName);
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  Session s;
  s.StartIdle();
  const std::vector<std::string> entries = s.ListEntries(IdFile1);
  Check(std::set<std::string>(entries.begin(), entries.end()) == expected,
        "File1 lists the ordinary .ocx files of the system directory");
  Check(std::count(entries.begin(), entries.end(), "ravlin-listed.ocx") == 1, "the placed control is listed");
  Check(std::count(entries.begin(), entries.end(), "ravlin-hidden.ocx") == 0, "a hidden one is not");
  SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(hidden.c_str());
  DeleteFileA(listed.c_str());
}

SCENARIO(TabVisitsTheControlsInTabOrder) {
  Session s;
  s.StartIdle();
  const ControlId order[] = {IdCmdRegister, IdCmdUnregister, IdCmdExit, IdFile1, IdCommand1Register,
                             IdCommand1Unregister, IdCommand2, IdText1};
  for (ControlId id : order) {
    PostMessageA(s.Focus(), WM_KEYDOWN, VK_TAB, 0);
    PostMessageA(s.Focus(), WM_KEYUP, VK_TAB, 0);
    Sleep(150);
    Check(s.Focus() == s.Control(id), "Tab moves to control " + std::to_string(id));
  }
}

SCENARIO(EnterAndEscapeClickNothing) {
  Session s;
  s.StartIdle();
  for (ControlId id : {IdText1, IdCommand2}) {
    SetForegroundWindow(s.Main());
    for (WPARAM key : {static_cast<WPARAM>(VK_RETURN), static_cast<WPARAM>(VK_ESCAPE)}) {
      PostMessageA(s.Control(id), WM_KEYDOWN, key, 0);
      PostMessageA(s.Control(id), WM_KEYUP, key, 0);
    }
  }
  Check(s.WaitBox(1000).empty(), "no box appears");
  Check(s.Running() && s.Responds(), "the program goes on");
}

SCENARIO(CloseExitAndTheCloseBoxEndTheProgram) {
  struct Way {
    const char* name;
    void (*close)(Session&);
  };
  const Way ways[] = {
      {"Close", [](Session& s) { s.Click(IdCommand2); }},
      {"Exit", [](Session& s) { s.Click(IdCmdExit); }},
      {"close box", [](Session& s) { PostMessageA(s.Main(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
  };
  for (const Way& way : ways) {
    Session s;
    s.StartIdle();
    way.close(s);
    Check(s.WaitExit(5000), std::string(way.name) + " ends the program");
    Check(s.Box() == nullptr, std::string(way.name) + " asks no question");
  }
}

SCENARIO(WindowScreenshotsAtStartAndDraggedTaller) {
  PlaceCompanion("realclass.ocx");  // found, and whether it is registered shows too
  const UnmanagedWindows unmanaged({"ravlin.exe"});  // Wine draws the frame itself, as Windows does
  Session s;
  s.StartIdle();
  HWND main = s.Main();
  Sleep(400);
  s.Screenshot(ArtifactDir() + "\\window-start.bmp", main);
  s.DragTaller();
  Sleep(400);
  s.Screenshot(ArtifactDir() + "\\window-taller.bmp", main);
  Check(ShowsColour(s.Control(IdCmdRegister), GetSysColor(COLOR_BTNTEXT)), "the lower section is drawn");

  // And while confirming a registration, with the file's summary and state on show.
  s.SetText(IdText1, FixturePath("versioned.ocx"));
  s.Click(IdCmdRegister);
  WaitFor([&] { return s.Visible(IdCmdProceed); }, 5000);
  Sleep(400);
  s.Screenshot(ArtifactDir() + "\\window-confirming.bmp", main);
  Check(ShowsColour(s.Control(IdCmdProceed), GetSysColor(COLOR_INFOBK)), "Proceed has the info-background face");
  Check(ShowsColour(s.Control(IdCmdCancel), GetSysColor(COLOR_INFOBK)), "Cancel has the info-background face");
  RemoveCompanion();
}

}  // namespace
}  // namespace e2e

namespace e2e {
namespace {

SCENARIO(WindowAndControlsHaveTheTablesRectanglesAtTheDisplaysDpi) {
  Session s;
  s.StartIdle();
  HDC screen = GetDC(nullptr);
  const int dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  RECT client;
  GetClientRect(s.Main(), &client);
  Check(client.right == TwipsToPixels(kClientWidthTwips, dpiX) &&
            client.bottom == TwipsToPixels(kClientHeightTwips, dpiY),
        "client area is 7044 x 3744 twips");
  for (const ControlSpec& spec : kLayout) {
    const auto id = static_cast<ControlId>(spec.id);
    RECT r;
    GetWindowRect(s.Control(id), &r);
    MapWindowPoints(nullptr, s.Main(), reinterpret_cast<POINT*>(&r), 2);
    Check(r.left == TwipsToPixels(spec.left, dpiX) && r.top == TwipsToPixels(spec.top, dpiY) &&
              r.right - r.left == TwipsToPixels(spec.width, dpiX) &&
              r.bottom - r.top == TwipsToPixels(spec.height, dpiY),
          std::string(spec.name) + " sits where the layout table puts it");
    if (spec.kind != ControlKind::Label) {
      const std::string text = s.Text(id);
      if (spec.kind != ControlKind::TextBox && spec.kind != ControlKind::FileList)
        CheckEq(text, spec.caption, std::string(spec.name) + " caption");
    }
  }
  CheckEq(s.Text(IdLabel1First), "1", "Label1(0)");
  CheckEq(s.Text(IdLabel1Second), "2", "Label1(1)");
}

}  // namespace
}  // namespace e2e
