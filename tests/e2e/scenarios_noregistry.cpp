// A Visual Basic program's controls described in a manifest beside it, so it
// runs without the registry: written while its control is registered and
// while it is not, a control left out, and a program with its own manifest.
#include "Driver.h"

#include <cstdio>

using namespace ravlin;

namespace e2e {
namespace {

constexpr char kShellClassKey[] = "CLSID\\{72C24DD5-D70A-438B-8A42-98424B88AFB8}\\InprocServer32";
constexpr char kShellProgIdKey[] = "WScript.Shell\\CLSID";
constexpr char kShellLibraryKey[] = "TypeLib\\{F935DC20-1CF0-11D0-ADB9-00C04FD58A0B}";

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Contents(const std::string& path) {
  std::string text;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return text;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
  CloseHandle(file);
  return text;
}

bool ClassesKeyExists(const char* subKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// What the registry says of the scripting host: its class, ProgID and type library.
std::string ShellRegistration() {
  std::string text;
  for (const char* key : {kShellClassKey, kShellProgIdKey, kShellLibraryKey})
    text += std::string(key) + (ClassesKeyExists(key) ? ": there; " : ": absent; ");
  return text;
}

// Runs a program with arguments and returns its exit code; 0xFFFFFFFF when it did not run or end.
DWORD ExitCodeOf(const std::string& program, const std::string& arguments) {
  std::string commandLine = "\"" + program + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &startup, &process))
    return 0xFFFFFFFF;
  DWORD code = 0xFFFFFFFF;
  if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

// Wine's scripting host, registered or not, through the platform's own tool.
bool RegisterShell(bool registered) {
  const std::string tool = SystemDirectory() + "\\regsvr32.exe";
  return ExitCodeOf(tool, std::string(registered ? "/s " : "/s /u ") + SystemDirectory() + "\\wshom.ocx") == 0;
}

// A folder of its own holding a copy of the test program, its runtime and the
// test control placed beside it; emptied and removed when it goes.
class ProgramFolder {
 public:
  explicit ProgramFolder(const char* name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + name;
    Empty();
    CreateDirectoryA(folder_.c_str(), nullptr);
    for (const char* file : {"vbprogram.exe", "MSVBVM60.DLL", "realclass.ocx"})
      ready_ = CopyFileA(FixturePath(file).c_str(), Path(file).c_str(), FALSE) && ready_;
  }
  ~ProgramFolder() {
    Empty();
    RemoveDirectoryA(folder_.c_str());
  }
  bool Ready() const { return ready_; }
  std::string Path(const std::string& file) const { return folder_ + "\\" + file; }
  std::string Program() const { return Path("vbprogram.exe"); }
  std::string Manifest() const { return Path("vbprogram.exe.manifest"); }

 private:
  void Empty() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder_ + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do DeleteFileA((folder_ + "\\" + found.cFileName).c_str());
    while (FindNextFileA(search, &found));
    FindClose(search);
  }

  std::string folder_;
  bool ready_ = true;
};

bool HaveTestProgram() {
  if (Exists(FixturePath("vbprogram.exe"))) return true;
  std::printf("  (no test program in this build: Visual Basic programs are 32-bit)\n");
  return false;
}

// Names the program, asks to register, and writes the manifest instead; the message.
std::string WriteThroughTheWindow(const std::string& program) {
  Session s;
  s.StartIdle();
  s.SetText(IdText1, program);
  s.Click(IdCmdRegister);
  if (!Check(s.WaitVisible(IdCmdNoRegistry), "No registry offered while confirming the program")) return {};
  s.Click(IdCmdNoRegistry);
  const std::string message = s.TakeBox(60000);
  Check(s.WaitVisible(IdCmdRegister), "back to the idle buttons");
  Check(!s.Visible(IdCmdNoRegistry), "No registry hidden again");
  return message;
}

SCENARIO(NoRegistryWrittenWhileTheControlIsRegisteredRunsWithoutIt) {
  if (!HaveTestProgram() || !Check(RegisterShell(true), "the scripting host registered")) return;
  const ProgramFolder folder("ravlin-noregistry-registered");
  if (!Check(folder.Ready(), "the test program copied")) return;
  const std::string registry = ShellRegistration();

  const std::string message = WriteThroughTheWindow(folder.Program());
  CheckEq(FirstLine(message), "Wrote " + folder.Manifest() + ".", "the message");
  Check(message.find("realclass.ocx: it has no type library") != std::string::npos &&
            message.find("ravlinnowhere.ocx: found neither") != std::string::npos,
        "the controls left out are named: [" + message + "]");
  CheckEq(ShellRegistration(), registry, "the registry as it was");
  Check(Exists(folder.Path("wshom.ocx")) && Exists(SystemDirectory() + "\\wshom.ocx"), "copied, not moved");

  // The ProgID came from the registry: it still works once the registry has none.
  if (!Check(RegisterShell(false), "the scripting host unregistered")) return;
  CheckEq(std::to_string(ExitCodeOf(folder.Program(), "clsid progid typelib")), "0",
          "by class, ProgID, library, with\n" + Contents(folder.Manifest()));
  MoveFileA(folder.Manifest().c_str(), folder.Path("put-aside.manifest").c_str());
  Check(ExitCodeOf(folder.Program(), "clsid progid typelib") == (1 | 2 | 4), "without the manifest all three fail");
  RegisterShell(true);
}

SCENARIO(NoRegistryWrittenWhileTheControlIsNotRegisteredNamesItsClassesAfterItsLibrary) {
  if (!HaveTestProgram() || !Check(RegisterShell(false), "the scripting host unregistered")) return;
  const ProgramFolder folder("ravlin-noregistry-unregistered");
  if (Check(folder.Ready(), "the test program copied")) {
    const std::string registry = ShellRegistration();
    CheckEq(FirstLine(WriteThroughTheWindow(folder.Program())), "Wrote " + folder.Manifest() + ".", "the message");
    CheckEq(ShellRegistration(), registry, "the registry as it was");
    CheckEq(std::to_string(ExitCodeOf(folder.Program(), "clsid wshshell typelib")), "0",
            "by class, IWshRuntimeLibrary.WshShell and library");
  }
  RegisterShell(true);
}

// Another file named as the scripting host lies beside the program: it stays,
// and with no other control to describe, nothing is written.
SCENARIO(NoRegistryLeavesOutAControlWhoseNameIsTakenBesideTheProgram) {
  if (!HaveTestProgram()) return;
  const ProgramFolder folder("ravlin-noregistry-taken");
  const std::string taken = folder.Path("wshom.ocx");
  if (!Check(folder.Ready() && CopyFileA(FixturePath("server.ocx").c_str(), taken.c_str(), FALSE), "prepared"))
    return;
  const std::string message = WriteThroughTheWindow(folder.Program());
  CheckEq(FirstLine(message), "Nothing was written: none of the program's controls can be described.", "the message");
  Check(message.find("wshom.ocx: another file of that name is beside the program already") != std::string::npos,
        "the refusal named: [" + message + "]");
  Check(!Exists(folder.Manifest()), "no manifest");
  DWORD size = 0;
  HANDLE file = CreateFileA(taken.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    size = GetFileSize(file, nullptr);
    CloseHandle(file);
  }
  HANDLE original = CreateFileA(FixturePath("server.ocx").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
  Check(original != INVALID_HANDLE_VALUE && GetFileSize(original, nullptr) == size, "the file beside left as it was");
  if (original != INVALID_HANDLE_VALUE) CloseHandle(original);
}

// A program that carries its own manifest: Windows would ignore a file beside it.
SCENARIO(NoRegistryWritesNothingForAProgramWithItsOwnManifest) {
  if (!HaveTestProgram()) return;
  const ProgramFolder folder("ravlin-noregistry-own");
  if (!Check(folder.Ready(), "the test program copied")) return;
  static const char kOwn[] =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
      "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\"/>";
  HANDLE update = BeginUpdateResourceA(folder.Program().c_str(), FALSE);
  const bool added = update && UpdateResourceA(update, MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1), 0,
                                               const_cast<char*>(kOwn), sizeof kOwn - 1);
  if (!Check(update && EndUpdateResourceA(update, !added) && added, "a manifest resource added to the program"))
    return;
  CheckEq(FirstLine(WriteThroughTheWindow(folder.Program())),
          "Nothing was written: the program carries its own manifest, and Windows then ignores a manifest file "
          "beside it.",
          "the message");
  Check(!Exists(folder.Manifest()) && !Exists(folder.Path("wshom.ocx")), "nothing written, nothing copied");
}

}  // namespace
}  // namespace e2e
