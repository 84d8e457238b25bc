// An old program's setup folder, made at build time: its plan shown, Proceed
// installs and registers it without touching the system's own file, the
// program is read as any program, Unregister undoes exactly that; then the
// same folder on the command line, with its exit codes.
#include "Driver.h"
#include "NoRegistrySteps.h"

#include <cstdio>
#include <fstream>
#include <sstream>

using namespace ravlin;

namespace e2e {
namespace {

constexpr char kControlKey[] = "Software\\RavlinFixtures\\fromsetup";
constexpr char kServerKey[] = "Software\\RavlinFixtures\\exeserver";
constexpr char kTypeLibrary[] = "TypeLib\\{6A3B1E20-7C41-4F0E-9D2A-52A1C0FFEE20}\\2.a";
constexpr char kInstalled[] = "Installed 7 files; registered 3 of 3.";

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool TypeLibraryRegistered() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kTypeLibrary, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// Its size and last write: what replacing it would change.
std::string Stamp(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
  return std::to_string(data.nFileSizeLow) + ":" + std::to_string(data.ftLastWriteTime.dwLowDateTime);
}

bool NothingInstalled(const std::string& app) {
  return !Exists(app) && !Exists(SharedFolder() + "\\ravlinsetup.ocx") && !Exists(SharedFolder() + "\\MSVBVM60.DLL") &&
         !RegistryKeyExists(kControlKey) && !RegistryKeyExists(kServerKey) && !TypeLibraryRegistered();
}

DWORD RunSilently(const std::string& arguments) {
  std::string commandLine = "\"" + ProgramPath() + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  DWORD code = 0xFFFFFFFF;
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return code;
  if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, code);
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

std::string Contents(const std::string& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

std::string FirstLineOf(const std::string& path) { return FirstLine(Contents(path)); }

SCENARIO(AnOldProgramsSetupFolderIsPlannedInstalledAndUndoneExactly) {
  const std::string setup = FixturePath("oldsetup");
  if (!Exists(setup + "\\RAVSETUP.CAB")) {
    std::printf("  (skipped: no gcab, mscompress, widl or test program to make the setup folder)\n");
    return;
  }
  char programFiles[MAX_PATH] = {}, temp[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("ProgramFiles(x86)", programFiles, MAX_PATH))
    GetEnvironmentVariableA("ProgramFiles", programFiles, MAX_PATH);
  GetTempPathA(MAX_PATH, temp);
  const std::string app = std::string(programFiles) + "\\Ravlin Old Setup", oleaut = SharedFolder() + "\\oleaut32.dll";
  const std::string before = Stamp(oleaut), to = std::string(temp) + "ravlin-oldsetup", report = to + ".txt";
  RunSilently("/s /u /install \"" + setup + "\" /out \"" + report + "\"");  // what an earlier run left
  if (!Check(NothingInstalled(app), "nothing of the setup there before")) return;

  const UnmanagedWindows unmanaged({"ravlin.exe"});
  {
    Session s;
    s.StartIdle();
    s.SetText(IdText1, setup);
    s.Click(IdCmdRegister);
    if (!Check(s.WaitVisible(IdCmdProceed, true, 30000), "the plan, for confirmation")) return;
    const std::string system = SharedFolder();
    CheckEq(s.Text(IdLblControls),
            "Setup of Ravlin Old Setup into " + app + "\r\nOLEAUT32.DLL: kept: the system's own\r\n"
            "MSVBVM60.DLL: install into " + system + "\r\nravlinsetup.ocx: install into " + system +
            ", then register it\r\ndescribed.tlb: install into " + app + ", then register its type library\r\n"
            "exeserver.exe: install into " + app + ", then run it with /RegServer\r\nvbprogram.exe: install into " +
            app + "\r\nreadme.txt: install into " + app + "\\Docs\r\nVBPROGRAM.EXE: named again; line 20 does it\r\n"
            "notes.txt: install into " + app,
            "the plan, line by line");
    s.Click(IdCmdProceed);
    CheckEq(s.TakeBox(), "WWW", "the question");
    CheckEq(FirstLine(s.TakeBox(60000)), kInstalled, "the report");
    CheckEq(Contents(app + "\\notes.txt"), Contents(FixturePath("notes.txt")), "the packed file unpacked as it was");
    Check(Exists(app + "\\vbprogram.exe") && Exists(app + "\\Docs\\readme.txt") && RegistryKeyExists(kControlKey) &&
              RegistryKeyExists(kServerKey) && TypeLibraryRegistered(),
          "installed and registered");
    CheckEq(Stamp(oleaut), before, "the system's OLEAUT32.DLL untouched");
    CheckEq(FirstLine(s.Text(IdLblControls)), "Runtime MSVBVM60.DLL: found, " + system + "\\MSVBVM60.DLL",
            "the installed program read as any program");
    Check(s.WaitVisible(IdCmdTryIt), "Try it offered on the program");

    s.Click(IdCmdUnregister);
    if (!Check(s.WaitVisible(IdCmdProceed, true, 30000), "what Unregister undoes, for confirmation")) return;
    CheckEq(FirstLine(s.Text(IdLblControls)), "Undo what " + app + "\\vbprogram.exe.install.txt records:",
            "the record named");
    s.Click(IdCmdProceed);
    CheckEq(s.TakeBox(), "WWW", "the question");
    CheckEq(FirstLine(s.TakeBox(60000)), "Undone: 3 registrations, 7 files and 2 folders removed.", "the undo");
    Check(NothingInstalled(app), "undone exactly");
  }

  const std::string install = "/install \"" + setup + "\" /to \"" + to + "\" /out \"" + report + "\"";
  CheckEq(std::to_string(RunSilently("/s " + install)), "0", "/s /install: its exit code");
  CheckEq(FirstLineOf(report), kInstalled, "/s /install: its report");
  CheckEq(std::to_string(RunSilently("/s " + install)), "3", "installed already: its exit code");
  CheckEq(std::to_string(RunSilently("/s /u " + install)), "0", "/s /u /install: its exit code");
  Check(NothingInstalled(to), "undone from the command line");
  CheckEq(Stamp(oleaut), before, "the system's OLEAUT32.DLL still untouched");

  // An older ravlinsetup.ocx (4.2.1.7, no control) there: /replace puts the package's 9.0.0.0 over it, Unregister puts it back.
  const std::string shared = SharedFolder() + "\\ravlinsetup.ocx", older = Stamp(FixturePath("version16.dll"));
  CopyFileA(FixturePath("version16.dll").c_str(), shared.c_str(), FALSE);
  {
    Session s;
    s.StartIdle();
    s.SetText(IdText1, setup);
    s.Click(IdCmdRegister);
    if (Check(s.WaitVisible(IdCmdReplace, true, 30000), "Replace newer offered under the plan")) {
      Check(s.Text(IdLblControls).find("ravlinsetup.ocx: kept: the package's 9.0.0.0") != std::string::npos, "kept unasked");
      s.Click(IdCmdReplace);
      Check(s.WaitVisible(IdCmdReplace, false), "asked once");
      Check(s.Text(IdLblControls).find("ravlinsetup.ocx: replaced: the package's 9.0.0.0") != std::string::npos,
            "the plan says so before Proceed");
    }
    s.Click(IdCmdCancel);
  }
  CheckEq(std::to_string(RunSilently("/s /replace " + install)), "0", "/s /replace /install: its exit code");
  Check(Stamp(shared) != older && Stamp(to + "\\Replaced\\ravlinsetup.ocx") == older && RegistryKeyExists(kControlKey),
        "replaced and registered, the one before kept");
  CheckEq(std::to_string(RunSilently("/s /u " + install)), "0", "undone: its exit code");
  CheckEq(FirstLineOf(report), "Undone: 2 registrations, 6 files and 3 folders removed. 1 file put back as it was.",
          "the undo's report");
  Check(Stamp(shared) == older && RegistryKeyExists(kControlKey) && !Exists(to),
        "the one before put back, still registered (others use it), all else undone");
  DeleteRegistryKey(kControlKey);
  DeleteFileA(shared.c_str());
  DeleteFileA(report.c_str());
}

}  // namespace
}  // namespace e2e
