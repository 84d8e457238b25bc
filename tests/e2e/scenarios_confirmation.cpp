// What was confirmed is what runs, and every line of a program's list can be
// read and is true: one row per case. The programs are written here, laid out
// as a Visual Basic program is, beside the test controls; only read, never run.
#include "Driver.h"

#include <algorithm>
#include <fstream>
#include <functional>

#include "../unit/VbProgramBuilder.h"

using namespace ravlin;

namespace e2e {
namespace {

constexpr char kServerKey[] = "Software\\RavlinFixtures\\server";

// A program among the test controls whose table lists these files, each with a class of its own.
struct WrittenProgram {
  explicit WrittenProgram(const std::vector<std::string>& files) : path(FixturePath("ravlin-confirm.exe")) {
    std::vector<std::string> entries;
    vb::Guid guid = vb::kShellGuid;  // the scripting host's class, {72C24DD5-...}: the entries' follow it
    for (const std::string& file : files) {
      ++guid[0];
      entries.push_back(vb::Entry(guid, file, "Ravlin.Confirm"));
    }
    std::ofstream(path, std::ios::binary) << vb::Program(entries);
  }
  ~WrittenProgram() { DeleteFileA(path.c_str()); }
  std::string path;
};

// Register pressed on file in a new session; true once confirming.
bool Confirming(Session& s, const std::string& file) {
  s.StartIdle();
  s.SetText(IdText1, file);
  s.Click(IdCmdRegister);
  return Check(s.WaitVisible(IdCmdProceed, true, 30000), "confirming " + file);
}

// A press on the list's first entry while confirming changes nothing; Proceed runs what was confirmed.
void PressWhileConfirming(const std::string& file, ControlId shown, const std::string& ran, const char* key) {
  DeleteRegistryKey(key);
  Session s;
  if (!Confirming(s, file)) return;
  const std::string before = s.Text(shown);
  Check(!s.ListEntries(IdFile1).empty(), "the list has an entry to press");
  s.PressList(WM_LBUTTONDOWN, 10, 6);
  Sleep(500);
  CheckEq(s.Text(IdText1) + "|" + s.Text(shown), file + "|" + before, "a press while confirming " + file);
  Check(s.Confirming() && (shown != IdLblControls || s.Visible(IdCmdNoRegistry)), "still confirming");
  s.Click(IdCmdProceed);
  const std::string question = s.TakeBox();
  CheckEq(question + "|" + FirstLine(s.TakeBox(60000)), "WWW|" + ran, "Proceed after the press");
  Check(RegistryKeyExists(key), "what was confirmed ran");
  DeleteRegistryKey(key);
}

// Another program names another file while Proceed waits: the confirmation goes, nothing runs.
void ChangedFromOutside(const std::string& file) {
  DeleteRegistryKey(kVersionedKey);
  Session s;
  if (!Confirming(s, file)) return;
  s.SetText(IdText1, FixturePath("server.ocx"));  // WM_SETTEXT, from this process
  Check(WaitFor([&] { return s.Idle(); }, 3000) && !s.Visible(IdCmdNoRegistry), "the confirmation went");
  CheckEq(s.Text(IdLblState) + "|" + s.Text(IdLblControls) + "|" + s.Text(IdLblFileInfo),
          "The file name was changed while waiting for Proceed: nothing was run. Press Register again.||",
          "a name changed from outside while confirming " + file);
  CheckEq(s.WaitBox(1000), "", "no message");
  Check(!RegistryKeyExists(kVersionedKey) && !RegistryKeyExists(kServerKey), "nothing ran");
}

// The list of the program's controls, read when confirming it.
std::string ControlsOf(const std::vector<std::string>& files) {
  const WrittenProgram program(files);
  Session s;
  if (!Confirming(s, program.path)) return "";
  Check(!(GetWindowLongA(s.Control(IdLblControls), GWL_STYLE) & WS_VSCROLL), "a list that fits shows no scroll bar");
  const std::string text = s.Text(IdLblControls);
  return text.substr(text.find('\n') + 1);  // past the runtime's line, which stands first
}

// A name no installer is known for, found nowhere.
constexpr char kNowhere[] = "not found; put a copy beside the program or in the system folder, or look in a folder";

// 60 controls: the list scrolls, and its last line can be brought into view.
void SixtyControls() {
  std::vector<std::string> files;
  for (int i = 10; i < 70; ++i) files.push_back("ravlin-many" + std::to_string(i) + ".ocx");
  const WrittenProgram program(files);
  Session s;
  if (!Confirming(s, program.path)) return;
  HWND list = s.Control(IdLblControls);
  const std::string text = s.Text(IdLblControls);
  CheckEq(std::to_string(std::count(text.begin(), text.end(), '\n')) + text.substr(text.rfind('\n')),
          "60\nravlin-many69.ocx: " + std::string(kNowhere), "every control and the runtime are listed");
  RECT client;
  GetClientRect(list, &client);
  const auto lastLineShown = [&] {
    const short top = static_cast<short>(HIWORD(SendMessageA(list, EM_POSFROMCHAR, text.size() - 1, 0)));
    return top >= 0 && top < client.bottom;
  };
  Check(!lastLineShown() && (GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL) != 0, "the list does not fit, and scrolls");
  SendMessageA(list, WM_VSCROLL, SB_BOTTOM, 0);
  Check(lastLineShown(), "scrolled to its end, the last line shows");
}

SCENARIO(WhatWasConfirmedRunsAndEveryLineOfAProgramIsTrue) {
  const UnmanagedWindows unmanaged({"ravlin.exe"});
  const std::string versioned = FixturePath("versioned.ocx");
  const std::function<void()> rows[] = {
      [&] { PressWhileConfirming(versioned, IdLblFileInfo, "Process completed", kVersionedKey); },
      [] {
        const WrittenProgram program({"server.ocx"});
        PressWhileConfirming(program.path, IdLblControls, "Registered 1 of 1 control.", kServerKey);
      },
      [&] { ChangedFromOutside(versioned); },
      [] {
        const WrittenProgram program({"versioned.ocx"});
        ChangedFromOutside(program.path);
      },
      [] {
        const std::string beside = FixturePath("Contr\xC3\xB4le.ocx");
        CopyFileA(FixturePath("server.ocx").c_str(), beside.c_str(), FALSE);
        CheckEq(ControlsOf({"Contr\xF4le.ocx", "Gar\xE7on.ocx"}),
                "Contr\xC3\xB4le.ocx: not registered, found beside the program\r\nGar\xC3\xA7on.ocx: " +
                    std::string(kNowhere),
                "names written in Windows-1252");
        DeleteFileA(beside.c_str());
      },
      &SixtyControls,
      [] {
        // A class of the 32-bit view, as the program's controls are read, registered to a deep path.
        const std::string key = "Software\\Classes\\CLSID\\{72C24DD6-D70A-438B-8A42-98424B88AFB8}";
        const std::string deep = "C:\\ravlin-deep\\" + std::string(150, 'd') + "\\ravlin-deep.ocx";
        HKEY server = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, (key + "\\InprocServer32").c_str(), 0, nullptr, 0,
                        KEY_WRITE | KEY_WOW64_32KEY, nullptr, &server, nullptr);
        RegSetValueExA(server, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(deep.c_str()),
                       static_cast<DWORD>(deep.size() + 1));
        RegCloseKey(server);
        CheckEq(ControlsOf({"ravlin-deep.ocx"}),
                "ravlin-deep.ocx: registered to a missing copy, C:\\ravlin-deep\\...\\ravlin-deep.ocx",
                "a deep registration path");
        RegDeleteKeyExA(HKEY_CURRENT_USER, (key + "\\InprocServer32").c_str(), KEY_WOW64_32KEY, 0);
        RegDeleteKeyExA(HKEY_CURRENT_USER, key.c_str(), KEY_WOW64_32KEY, 0);
      },
  };
  for (const std::function<void()>& row : rows) row();
}

}  // namespace
}  // namespace e2e
