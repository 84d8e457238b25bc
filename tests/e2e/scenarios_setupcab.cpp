// The test program in a folder of its own, as in a fresh prefix: its runtime
// missing and then there, and the control it lists as nowhere found inside the
// cabinet of that folder (a damaged one beside it skipped), copied into the
// system folder and registered by Proceed.
#include "Driver.h"
#include "NoRegistrySteps.h"

#include <cstdio>
#include <fstream>
#include <iterator>

using namespace ravlin;

namespace e2e {
namespace {

constexpr char kFromCabKey[] = "Software\\RavlinFixtures\\fromcab";

bool CopyFixture(const std::string& from, const std::string& folder, const std::string& name) {
  return CopyFileA(from.c_str(), (folder + "\\" + name).c_str(), FALSE) != 0;
}

// The folder picker opens at the program's folder, which holds the cabinets: OK takes it.
bool PickTheStartFolder(Session& s) {
  s.Click(IdCmdLookIn);
  HWND picker = nullptr;
  if (!WaitFor([&] { return (picker = s.Box()) != nullptr; }, 15000)) return false;
  Sleep(1000);  // the picker selects the start folder once it is up
  PostMessageA(picker, WM_COMMAND, IDOK, 0);
  return WaitFor([&] { return !IsWindow(picker); }, 15000);
}

SCENARIO(AProgramsRuntimeIsListedFirstAndAMissingControlIsTakenFromItsSetupCabinet) {
  const std::string cabinet = FixturePath("setup\\SETUP1.CAB");
  if (GetFileAttributesA(cabinet.c_str()) == INVALID_FILE_ATTRIBUTES ||
      GetFileAttributesA(FixturePath("vbprogram.exe").c_str()) == INVALID_FILE_ATTRIBUTES) {
    std::printf("  (skipped: no gcab or no 32-bit compiler for the test program)\n");
    return;
  }
  if (sizeof(void*) == 8)
    std::printf("  (skipped here: a 32-bit control from a cabinet, which Proceed hands to the 32-bit regsvr32;"
                " the cabinet holds a 64-bit one, the 32-bit build's a 32-bit one)\n");
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "ravlin-setupfolder";
  const std::string installed = SharedFolder() + "\\ravlinnowhere.ocx";
  CreateDirectoryA(folder.c_str(), nullptr);
  DeleteFileA((folder + "\\MSVBVM60.DLL").c_str());
  DeleteFileA(installed.c_str());
  DeleteRegistryKey(kFromCabKey);
  if (!Check(CopyFixture(FixturePath("vbprogram.exe"), folder, "vbprogram.exe") &&
                 CopyFixture(cabinet, folder, "SETUP1.CAB") &&
                 CopyFixture(FixturePath("setup\\BROKEN.CAB"), folder, "BROKEN.CAB"),
             "the setup folder"))
    return;
  const std::string control = sizeof(void*) == 8 ? "realclass32.ocx" : "realclass.ocx";
  const std::string elsewhere = ": not found; put a copy beside the program or in the system folder, or look in a folder";
  // Wine's scripting host is a 32-bit control: in a prefix without 32-bit programs it is nowhere.
  const std::string shellFile = SharedFolder() + "\\wshom.ocx";
  const std::string shell = "\r\nwshom.ocx" +
                            (GetFileAttributesA(shellFile.c_str()) != INVALID_FILE_ATTRIBUTES
                                 ? ": registered, " + shellFile
                                 : elsewhere) +
                            "\r\n" + control + elsewhere;

  const UnmanagedWindows unmanaged({"ravlin.exe"});
  Session s;
  s.StartIdle();
  RECT frame;
  GetWindowRect(s.Main(), &frame);
  SetWindowPos(s.Main(), nullptr, 0, 0, frame.right - frame.left, 900, SWP_NOMOVE | SWP_NOZORDER);
  s.SetText(IdText1, folder + "\\vbprogram.exe");
  s.Click(IdCmdRegister);
  if (!Check(s.WaitVisible(IdCmdLookIn, true, 30000), "Look in a folder beside the program's controls")) return;
  CheckEq(s.Text(IdLblControls),
          "Runtime MSVBVM60.DLL: missing; winetricks vb6run installs it" + shell + "\r\nravlinnowhere.ocx" + elsewhere,
          "the runtime first, and what to do about each missing file");

  // Wine's picker at times stops short of the start folder (then OK names another): picked again.
  std::string skipped;
  for (int attempt = 0; attempt < 4 && skipped.rfind("Skipped", 0) != 0; ++attempt) {
    if (!Check(PickTheStartFolder(s), "the folder picker")) return;
    skipped = s.TakeBox(30000);
  }
  CheckEq(skipped, "Skipped BROKEN.CAB: it is damaged, or no cabinet.", "the damaged cabinet, by name");
  const std::string fromCab = "\r\nravlinnowhere.ocx: not registered, found in SETUP1.CAB of " + folder;
  CheckEq(s.Text(IdLblControls), "Runtime MSVBVM60.DLL: missing; winetricks vb6run installs it" + shell + fromCab,
          "the control found in the cabinet");
  Sleep(400);
  s.Screenshot(ArtifactDir() + "\\program-setup-cabinet.bmp", s.Main());

  s.Click(IdCmdProceed);
  CheckEq(s.TakeBox(), "WWW", "the question");
  CheckEq(FirstLine(s.TakeBox(60000)), "Registered 1 of 1 control.", "the run");
  Check(GetFileAttributesA(installed.c_str()) != INVALID_FILE_ATTRIBUTES, "copied into the system folder");
  Check(RegistryKeyExists(kFromCabKey), "registered there");

  CopyFixture(FixturePath("MSVBVM60.DLL"), folder, "MSVBVM60.DLL");
  s.WaitVisible(IdCmdRegister);
  s.Click(IdCmdRegister);
  if (Check(s.WaitVisible(IdCmdProceed, true, 30000), "confirming again"))
    CheckEq(FirstLine(s.Text(IdLblControls)), "Runtime MSVBVM60.DLL: found, " + folder + "\\MSVBVM60.DLL",
            "the runtime beside the program");
  DeleteFileA(installed.c_str());
  DeleteRegistryKey(kFromCabKey);
}

// The test program's table patched to name the runtime and the program itself
// beside its control; the folder holds both, and a cabinet holds them and a
// system library. Only the control is taken, and the look's folder goes.
SCENARIO(NamesThatAreNeverControlsAreNeitherTakenNorCopiedNorRegistered) {
  const std::string never = FixturePath("setup\\SYSTEM.CAB");
  if (GetFileAttributesA(never.c_str()) == INVALID_FILE_ATTRIBUTES) return (void)std::printf("  (skipped: no gcab)\n");
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "ravlin-harmless", shared = SharedFolder();
  CreateDirectoryA(folder.c_str(), nullptr);
  std::ifstream in(FixturePath("vbprogram.exe"), std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string beside = sizeof(void*) == 8 ? "realclass32.ocx" : "realclass.ocx";
  for (const auto& name : {std::make_pair(std::string("wshom.ocx"), std::string("MSVBVM60.DLL")),
                           std::make_pair(beside, std::string("vbprogram.exe"))}) {
    const size_t at = bytes.find(name.first + '\0');
    if (at != std::string::npos) bytes.replace(at, name.second.size() + 1, name.second + '\0');
  }
  std::ofstream(folder + "\\vbprogram.exe", std::ios::binary) << bytes;
  Check(CopyFixture(FixturePath("setup\\notacontrol.dll"), folder, "MSVBVM60.DLL") &&
            CopyFixture(FixturePath("setup\\SETUP1.CAB"), folder, "SETUP1.CAB") &&
            CopyFixture(FixturePath("setup\\BROKEN.CAB"), folder, "BROKEN.CAB") && CopyFixture(never, folder, "SYSTEM.CAB"),
        "the folder");
  const std::string installed = shared + "\\ravlinnowhere.ocx";
  DeleteFileA(installed.c_str());
  const UnmanagedWindows unmanaged({"ravlin.exe"});
  Session s;
  s.StartIdle();
  s.SetText(IdText1, folder + "\\vbprogram.exe");
  s.Click(IdCmdRegister);
  if (!Check(s.WaitVisible(IdCmdLookIn, true, 30000), "the program's list")) return;
  std::string skipped;
  for (int attempt = 0; attempt < 4 && skipped.rfind("Skipped", 0) != 0; ++attempt)
    if (PickTheStartFolder(s)) skipped = s.TakeBox(30000);
  s.Click(IdCmdProceed);
  s.TakeBox();
  CheckEq(FirstLine(s.TakeBox(60000)), "Registered 1 of 1 control.", "the control alone");
  for (const char* name : {"MSVBVM60.DLL", "vbprogram.exe", "ravlin-vbprogram.exe-*"}) {
    WIN32_FIND_DATAA found;
    const HANDLE any = FindFirstFileA((std::string(name[0] == 'r' ? temp : shared + "\\") + name).c_str(), &found);
    Check(any == INVALID_HANDLE_VALUE, std::string(name) + ": none in the system or temporary folder");
    if (any != INVALID_HANDLE_VALUE) FindClose(any);
  }
  Check(!RegistryKeyExists("Software\\RavlinFixtures\\notacontrol"), "nothing but the control registered");
  DeleteFileA(installed.c_str());
  DeleteRegistryKey(kFromCabKey);
}

}  // namespace
}  // namespace e2e
