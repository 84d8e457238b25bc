// A program's controls and nothing else: names in its table that are no
// controls are said for what they are and left out; and after No registry,
// Try it starts the program and says what it showed.
#include "Driver.h"
#include "NoRegistrySteps.h"

#include <cstdio>
#include <fstream>
#include <iterator>

using namespace ravlin;

namespace e2e {
namespace {

constexpr char kOffer[] = "\r\n\r\nPress Try it to start the program and see whether it runs now.";

std::string Bytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A folder of the temporary one, emptied and removed when it goes.
struct TempFolder {
  explicit TempFolder(const char* name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    path = std::string(temp) + name;
    CreateDirectoryA(path.c_str(), nullptr);
  }
  ~TempFolder() {
    for (const std::string& name : Names()) DeleteFileA((path + "\\" + name).c_str());
    RemoveDirectoryA(path.c_str());
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
    for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &data))
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    return names;
  }
  std::string path;
};

// The test program beside itself in the folder, its table's test control named shell32.dll, its missing one NUL.ocx.
bool PlacePatchedProgram(const std::string& program) {
  std::string bytes = Bytes(FixturePath("vbprogram.exe"));
  for (const auto& name : {std::make_pair(kBesideControl, std::string("shell32.dll")),
                           std::make_pair(std::string("ravlinnowhere.ocx"), std::string("NUL.ocx"))}) {
    const size_t at = bytes.find(name.first + '\0');
    if (at == std::string::npos) return false;
    bytes.replace(at, name.first.size(), name.second + std::string(name.first.size() - name.second.size(), '\0'));
  }
  std::ofstream(program, std::ios::binary) << bytes;
  return Bytes(program) == bytes;
}

SCENARIO(AProgramsTableNamingASystemLibraryAndADeviceShowsThemForWhatTheyAreAndNoRegistryLeavesThemOut) {
  if (GetFileAttributesA(FixturePath("vbprogram.exe").c_str()) == INVALID_FILE_ATTRIBUTES) {
    std::printf("  (skipped: no 32-bit compiler for the test program)\n");
    return;
  }
  const TempFolder folder("ravlin-nevercontrols");
  const std::string program = folder.path + "\\vbprogram.exe";
  if (!Check(PlacePatchedProgram(program), "the patched program placed")) return;
  Session s;
  s.StartIdle();
  s.SetText(IdText1, program);
  s.Click(IdCmdRegister);
  if (!Check(s.WaitVisible(IdCmdNoRegistry, true, 30000), "No registry offered")) return;
  const std::string lines = s.Text(IdLblControls);
  Check(lines.find("\r\nshell32.dll: part of the system\r\nNUL.ocx: not a control file") != std::string::npos,
        "each said for what it is: [" + lines + "]");
  s.Click(IdCmdNoRegistry);
  const std::string message = s.TakeBox(60000);
  Check(message.find("shell32") == std::string::npos && message.find("NUL") == std::string::npos,
        "neither in the message: [" + message + "]");
  Check(s.WaitVisible(IdCmdTryIt), "Try it offered after No registry");
  for (const std::string& name : folder.Names())
    Check(name == "vbprogram.exe" || name == "wshom.ocx" || name == "vbprogram.exe.manifest",
          "nothing else beside the program: " + name);
}


// The program's form places the scripting host's control: unregistered, only its manifest names it.
SCENARIO(TryItShowsTheProgramsWindowAndVisualBasicsBoxOnceItsManifestIsGone) {
  if (GetFileAttributesA(FixturePath("vbprogram.exe").c_str()) == INVALID_FILE_ATTRIBUTES ||
      GetEnvironmentVariableA("RAVLIN_NO_32BIT", nullptr, 0) != 0) {
    std::printf("  (skipped: no 32-bit test program, or no 32-bit programs on this host)\n");
    return;
  }
  const TempFolder folder("ravlin-tryit");
  for (const std::string& file : {std::string("vbprogram.exe"), std::string("MSVBVM60.DLL"), kBesideControl})
    CopyFileA(FixturePath(file).c_str(), (folder.path + "\\" + file).c_str(), FALSE);
  if (!Check(RegisterShell(false), "the scripting host unregistered")) return;
  Session s;
  s.StartIdle();
  s.SetText(IdText1, folder.path + "\\vbprogram.exe");
  s.Click(IdCmdRegister);
  if (Check(s.WaitVisible(IdCmdNoRegistry, true, 30000), "No registry offered")) {
    s.Click(IdCmdNoRegistry);
    const std::string message = s.TakeBox(60000);
    Check(message.size() > sizeof kOffer && message.substr(message.size() - (sizeof kOffer - 1)) == kOffer,
          "the message offers to try it: [" + message + "]");
    Check(s.WaitVisible(IdCmdTryIt), "Try it shown");
    s.Click(IdCmdTryIt);
    CheckEq(s.TakeBox(30000), "It started and opened its window.", "with its manifest");
    KillProcesses("vbprogram.exe");
    DeleteFileA((folder.path + "\\vbprogram.exe.manifest").c_str());
    s.Click(IdCmdTryIt);
    CheckEq(s.TakeBox(30000),
            "It started and showed Visual Basic's registration error:\r\nComponent 'wshom.ocx' or one of its "
            "dependencies not correctly registered: a file is missing or invalid",
            "without it");
    KillProcesses("vbprogram.exe");
  }
  RegisterShell(true);
}

}  // namespace
}  // namespace e2e
