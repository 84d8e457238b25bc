// The quick path: the two companion buttons write a script next to the
// program and the shell runs it; Wine's regsvr32 then does the work.
#include "Driver.h"

#include <fstream>
#include <functional>
#include <iterator>
#include <set>

#include <tlhelp32.h>

using namespace ravlin;

namespace e2e {
namespace {

const char kKey[] = "Software\\RavlinFixtures\\server";

// The script's "cd C:\..." moves only drive C:'s folder; regsvr32 finds the
// control in the script's folder only when the program runs from drive C:,
// as it does when started from the desktop.
class StartedFromDriveC {
 public:
  StartedFromDriveC() {
    GetCurrentDirectoryA(MAX_PATH, saved_);
    SetCurrentDirectoryA("C:\\");
  }
  ~StartedFromDriveC() { SetCurrentDirectoryA(saved_); }
  StartedFromDriveC(const StartedFromDriveC&) = delete;
  StartedFromDriveC& operator=(const StartedFromDriveC&) = delete;

 private:
  char saved_[MAX_PATH] = {};
};

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

// Scripts are written next to the program that writes them.
std::string Script(const char* name, const std::string& program = ProgramPath()) {
  return FolderOf(program) + "\\" + name;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Advice(const char* name, const std::string& program) {
  return "If not successful then \r\n\r\nrightclick on '" + Script(name, program) +
         "\r\n\r\n and select 'Run as Adminstrator'";
}

std::string ModuleValue() {
  char value[MAX_PATH] = {};
  DWORD size = sizeof(value);
  if (RegGetValueA(HKEY_CURRENT_USER, kKey, "Module", RRF_RT_REG_SZ, nullptr, value, &size) !=
      ERROR_SUCCESS)
    return {};
  return value;
}

// Every process started, directly or not, by the program: the console the
// shell opened for the script and whatever runs in it.
std::vector<PROCESSENTRY32> Descendants(DWORD ancestor) {
  std::vector<PROCESSENTRY32> all;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return {};
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    all.push_back(entry);
  CloseHandle(snapshot);

  std::set<DWORD> family{ancestor};
  std::vector<PROCESSENTRY32> found;
  for (bool grew = true; grew;) {
    grew = false;
    for (const PROCESSENTRY32& p : all)
      if (family.count(p.th32ParentProcessID) && family.insert(p.th32ProcessID).second) {
        found.push_back(p);
        grew = true;
      }
  }
  return found;
}

bool RunsScript(DWORD program) {
  for (const PROCESSENTRY32& p : Descendants(program))
    if (_stricmp(p.szExeFile, "cmd.exe") == 0) return true;
  return false;
}

// The script ends in "pause", so its console stays until someone ends it;
// regsvr32 writes to that console and leaves no box of its own.
void EndScriptConsole(DWORD program) {
  for (const PROCESSENTRY32& p : Descendants(program)) {
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, p.th32ProcessID)) {
      TerminateProcess(process, 1);
      WaitForSingleObject(process, 5000);
      CloseHandle(process);
    }
  }
  Check(WaitFor([&] { return Descendants(program).empty(); }, 5000), "the script's console is gone");
}

// Clicks a companion button and follows the script until done() holds.
void RunQuickPath(ControlId button, const char* scriptName, const std::string& scriptBytes,
                  const std::function<bool()>& done, const std::string& outcome,
                  const std::string& program = ProgramPath()) {
  StartedFromDriveC fromC;
  Session s("", program);
  s.StartIdle();
  s.Click(button);

  // Wine's administrator test says yes, so the advice comes first.
  CheckEq(s.WaitBox(), Advice(scriptName, program), "the advice box");
  Check(!Exists(Script(scriptName, program)), "nothing is written while the advice is up");
  Check(!RunsScript(s.ProcessId()), "nothing is launched while the advice is up");
  s.DismissBox();

  Check(WaitFor([&] { return Read(Script(scriptName, program)) == scriptBytes; }, 5000),
        std::string(scriptName) + " holds the script");
  CheckEq(Read(Script(scriptName, program)), scriptBytes, scriptName);
  Check(WaitFor([&] { return RunsScript(s.ProcessId()); }, 5000), "the shell runs the script");
  Check(WaitFor(done, 10000), outcome);
  Check(s.Box() == nullptr, "the program shows nothing more");
  Check(s.Responds(), "the window still answers");

  EndScriptConsole(s.ProcessId());
}

SCENARIO(RegisterButtonRegistersTheCompanionThroughItsScript) {
  PlaceCompanion("server.ocx");
  DeleteRegistryKey(kKey);
  DeleteFileA(Script("register.bat").c_str());

  RunQuickPath(IdCommand1Register, "register.bat",
               "cd C:\\Windows\\SysWOW64\r\nregsvr32 RICHTX32.OCX\r\npause\r\n",
               [] { return RegistryKeyExists(kKey); }, "regsvr32 registered the control");
  // The control that registered is the one in the script's folder.
  Check(_stricmp(ModuleValue().c_str(), CompanionPath().c_str()) == 0,
        "registered from " + CompanionPath() + ", got '" + ModuleValue() + "'");

  DeleteRegistryKey(kKey);
  DeleteFileA(Script("register.bat").c_str());
  RemoveCompanion();
}

SCENARIO(UnregisterButtonRemovesTheRegistrationAndKeepsTheOtherScript) {
  PlaceCompanion("server.ocx");
  HKEY key = nullptr;
  if (Check(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                            nullptr) == ERROR_SUCCESS,
            "the control starts registered"))
    RegCloseKey(key);
  DeleteFileA(Script("unregister.bat").c_str());
  const std::string otherScript = "left by an earlier click\r\n";
  Write(Script("register.bat"), otherScript);

  RunQuickPath(IdCommand1Unregister, "unregister.bat",
               "cd C:\\Windows\\SysWOW64\r\nregsvr32 /u RICHTX32.OCX\r\npause\r\n",
               [] { return !RegistryKeyExists(kKey); }, "regsvr32 unregistered the control");
  CheckEq(Read(Script("register.bat")), otherScript, "register.bat is left as it was");

  DeleteRegistryKey(kKey);
  DeleteFileA(Script("register.bat").c_str());
  DeleteFileA(Script("unregister.bat").c_str());
  RemoveCompanion();
}

const char kRealClassKey[] = "CLSID\\{6A3B1E20-7C41-4F0E-9D2A-52A1C0FFEE10}";

void RemoveRealClass() {
  RegDeleteTreeA(HKEY_CLASSES_ROOT, kRealClassKey);
  RegDeleteTreeA(HKEY_CLASSES_ROOT, "Ravlin.RealClass");
}

bool RealClassRegistered() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kRealClassKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// The start-up box and the window say whether the companion is registered;
// once its script has ended, the window shows the new state by itself.
SCENARIO(TheCompanionsStateShowsAtStartAndAgainWhenItsScriptHasEnded) {
  StartedFromDriveC fromC;
  PlaceCompanion("realclass.ocx");
  RemoveRealClass();
  Session s;
  CheckEq(s.WaitBox(), "Found " + CompanionPath() + "\r\n\r\nNot registered.", "the start-up box");
  s.DismissBox();
  s.WaitShown();
  CheckEq(s.Text(IdLblCompanionState), "Not registered.", "the window says so too");

  s.Click(IdCommand1Register);
  CheckEq(s.WaitBox(), Advice("register.bat", ProgramPath()), "the advice box");
  s.DismissBox();
  Check(WaitFor(RealClassRegistered, 15000), "the script's regsvr32 registered the control");
  Check(s.Text(IdLblCompanionState) == "Not registered.", "nothing is read again while the script runs");
  EndScriptConsole(s.ProcessId());
  Check(WaitFor([&] { return s.Text(IdLblCompanionState) == "Registered now: 1 class, to this file."; }, 5000),
        "the new state once the script has ended, got [" + s.Text(IdLblCompanionState) + "]");

  RemoveRealClass();
  DeleteFileA(Script("register.bat").c_str());
  RemoveCompanion();
}

// The program kept in a folder named in Cyrillic writes its script there and
// the shell runs it: the whole path carries the name.
SCENARIO(AProgramInACyrillicFolderWritesAndRunsItsScriptThere) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + u8"Программа регистрации";
  const std::string program = folder + "\\ravlin.exe";
  CreateDirectoryA(folder.c_str(), nullptr);
  if (!Check(CopyFileA(ProgramPath().c_str(), program.c_str(), FALSE), "the program copied to " + folder))
    return;
  PlaceCompanion("server.ocx");
  DeleteRegistryKey(kKey);

  RunQuickPath(IdCommand1Register, "register.bat",
               "cd C:\\Windows\\SysWOW64\r\nregsvr32 RICHTX32.OCX\r\npause\r\n",
               [] { return RegistryKeyExists(kKey); }, "regsvr32 registered the control", program);

  DeleteRegistryKey(kKey);
  DeleteFileA(Script("register.bat", program).c_str());
  DeleteFileA(program.c_str());
  RemoveDirectoryA(folder.c_str());
  RemoveCompanion();
}

}  // namespace
}  // namespace e2e
