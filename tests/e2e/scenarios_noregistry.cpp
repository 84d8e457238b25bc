// A Visual Basic program's controls described in a manifest beside it, so it
// runs without the registry: written while its control is registered and
// while it is not, a control left out, and a program with its own manifest.
#include "Driver.h"
#include "NoRegistrySteps.h"

#include <cstdio>

using namespace ravlin;

namespace e2e {
namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }


std::string Contents(const std::string& path) {
  std::string text;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  char buffer[4096];
  DWORD read = 0;
  while (file != INVALID_HANDLE_VALUE && ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
    text.append(buffer, read);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return text;
}

// Which of the scripting host's class, ProgID and type library keys are there.
std::string ShellRegistration() {
  std::string text;
  for (const char* subKey : {"CLSID\\{72C24DD5-D70A-438B-8A42-98424B88AFB8}\\InprocServer32", "WScript.Shell\\CLSID",
                             "TypeLib\\{F935DC20-1CF0-11D0-ADB9-00C04FD58A0B}"}) {
    HKEY key = nullptr;
    const bool there = RegOpenKeyExA(HKEY_CLASSES_ROOT, subKey, 0, KEY_READ | KEY_WOW64_32KEY, &key) == ERROR_SUCCESS;
    if (there) RegCloseKey(key);
    text += there ? "1" : "0";
  }
  return text;
}

DWORD ExitCodeOf(const std::string& program, const std::string& arguments) {
  Session run(arguments, program);
  DWORD code = 0xFFFFFFFF;
  if (run.WaitExit(30000)) GetExitCodeProcess(run.Process(), &code);
  return code;
}


// A folder with a copy of the test program, its runtime and the test control beside it.
struct ProgramFolder {
  explicit ProgramFolder(const char* name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder = std::string(temp) + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const std::string& file : {std::string("vbprogram.exe"), std::string("MSVBVM60.DLL"), kBesideControl})
      ready = CopyFileA(FixturePath(file).c_str(), Path(file).c_str(), FALSE) && ready;
  }
  ~ProgramFolder() {
    for (const std::string& file : {std::string("vbprogram.exe"), std::string("MSVBVM60.DLL"), kBesideControl,
                                    std::string("wshom.ocx"), std::string("vbprogram.exe.manifest"),
                                    std::string("vbprogram.exe.manifest.bak")})
      DeleteFileA(Path(file).c_str());
    RemoveDirectoryA(folder.c_str());
  }
  bool Ready() const {
    if (Exists(FixturePath("vbprogram.exe")) && GetEnvironmentVariableA("RAVLIN_NO_32BIT", nullptr, 0) == 0)
      return Check(ready, "the test program copied");
    std::printf("  (skipped: no 32-bit test program, or no 32-bit programs on this host)\n");
    return false;
  }
  std::string Path(const std::string& file) const { return folder + "\\" + file; }
  std::string Program() const { return Path("vbprogram.exe"); }
  std::string Manifest() const { return Path("vbprogram.exe.manifest"); }

  std::string folder;
  bool ready = true;
};

SCENARIO(NoRegistryWrittenWhileTheControlIsRegisteredRunsWithoutIt) {
  const ProgramFolder folder("ravlin-noregistry-registered");
  if (!folder.Ready() || !Check(RegisterShell(true), "the scripting host registered")) return;
  const std::string there = folder.Path(""), registry = ShellRegistration();
  // The 32-bit build catches what each control registers; the 64-bit one has no
  // 32-bit copy of itself beside it to do so, and reads the type libraries.
  const std::string message = WriteThroughTheWindow(folder.Program());
  const std::string covers = sizeof(void*) == 8 ? "wshom.ocx" : "wshom.ocx, " + kBesideControl;
  Check(message.find("Wrote " + folder.Manifest() + ".\r\nIt covers " + covers +
                     ".\r\nCopied beside the program: wshom.ocx from ") == 0 &&
            message.find("\r\nravlinnowhere.ocx: found neither beside the program nor in the system folder.") !=
                std::string::npos &&
            (sizeof(void*) == 4 || message.find("\r\n" + kBesideControl + ": its type library could not be read (") !=
                                       std::string::npos),
        "the message: [" + message + "]");
  CheckEq(ShellRegistration(), registry, "the registry as it was");
  Check(Exists(SharedFolder() + "\\wshom.ocx"), "copied, not moved");
  // The ProgID came from the registry: it still works once the registry has none.
  if (!Check(RegisterShell(false), "the scripting host unregistered")) return;
  CheckEq(std::to_string(ExitCodeOf(folder.Program(), "clsid progid typelib")), "0",
          "by class, ProgID, library, with\n" + Contents(folder.Manifest()));
  DeleteFileA(folder.Manifest().c_str());
  Check(ExitCodeOf(folder.Program(), "clsid progid typelib") == (1 | 2 | 4), "without the manifest all three fail");
  RegisterShell(true);
}

// Written twice, the first is kept; a third time would lose one, so nothing is written.
SCENARIO(NoRegistryWrittenWhileTheControlIsNotRegisteredNamesItsClassesAfterItsLibrary) {
  const ProgramFolder folder("ravlin-noregistry-unregistered");
  if (!folder.Ready() || !Check(RegisterShell(false), "the scripting host unregistered")) return;
  const std::string registry = ShellRegistration();
  CheckEq(FirstLine(WriteThroughTheWindow(folder.Program())), "Wrote " + folder.Manifest() + ".", "the message");
  CheckEq(ShellRegistration(), registry, "the registry as it was");
  // Caught, the classes carry the control's own ProgIDs; read from the library, its names.
  const char* checks = sizeof(void*) == 8 ? "clsid wshshell typelib" : "clsid progid typelib";
  CheckEq(std::to_string(ExitCodeOf(folder.Program(), checks)), "0", std::string("by ") + checks);
  const std::string first = Contents(folder.Manifest());
  const std::string second = WriteThroughTheWindow(folder.Program());
  Check(second.find("\r\nThe earlier manifest is kept as " + folder.Manifest() + ".bak.\r\n") != std::string::npos &&
            Contents(folder.Manifest() + ".bak") == first,
        "the earlier manifest kept: [" + second + "]");
  CheckEq(WriteThroughTheWindow(folder.Program()),
          "Nothing was written: " + folder.Manifest() + " and its kept copy " + folder.Manifest() +
              ".bak are both there already. Move one of them away, so that neither is lost.",
          "a third time");
  RegisterShell(true);
}

// Another file of the scripting host's name beside the program stays, and with
// nothing else to describe nothing is written; a program with a manifest of
// its own would ignore one beside it.
SCENARIO(NoRegistryWritesNothingForATakenNameOrAProgramWithItsOwnManifest) {
  const ProgramFolder folder("ravlin-noregistry-nothing");
  const std::string taken = folder.Path("wshom.ocx");
  if (!folder.Ready() || !CopyFileA(FixturePath("server.ocx").c_str(), taken.c_str(), FALSE)) return;
  DeleteFileA(folder.Path(kBesideControl).c_str());  // which the 32-bit build would describe
  const std::string message = WriteThroughTheWindow(folder.Program());
  CheckEq(FirstLine(message), "Nothing was written: none of the program's controls can be described.", "the message");
  Check(message.find("\r\nwshom.ocx: another file of that name is beside the program already, and was left as it is (" +
                     taken + ").") != std::string::npos,
        "the refusal named: [" + message + "]");
  Check(!Exists(folder.Manifest()) && Contents(taken) == Contents(FixturePath("server.ocx")), "nothing changed");

  DeleteFileA(taken.c_str());
  static const char kOwn[] = "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\"/>";
  HANDLE update = BeginUpdateResourceA(folder.Program().c_str(), FALSE);
  const bool added = update && UpdateResourceA(update, MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1), 0,
                                               const_cast<char*>(kOwn), sizeof kOwn - 1);
  if (!Check(update && EndUpdateResourceA(update, !added) && added, "a manifest resource added")) return;
  CheckEq(WriteThroughTheWindow(folder.Program()),
          "Nothing was written: the program carries its own manifest, and Windows then ignores a manifest file "
          "beside it.",
          "the program's own manifest");
  Check(!Exists(folder.Manifest()) && !Exists(taken), "nothing written, nothing copied");
}

}  // namespace
}  // namespace e2e
