// The registration engine against real test controls, threads and the registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "FormProbe.h"
#include "Fixtures.h"
#include "platform/win32/WinPlatform.h"
#include "window/frmRavlin.h"

namespace ravlin {
namespace {

// The engine needs only the message box and the pointer; both are recorded.
class RecordingToolkit : public Toolkit {
 public:
  std::vector<std::string> boxes;
  std::vector<MousePointer> pointers;

  void MsgBox(const std::string& prompt) override { boxes.push_back(prompt); }
  std::string BrowseForFolder(const std::string&, const std::string&) override { return {}; }
  void SetMousePointer(MousePointer pointer) override { pointers.push_back(pointer); }
  void SetTimer(uint32_t, std::function<void()>) override {}

  void DoEvents() override { Unused(); }
  std::string AppPath() override { Unused(); }
  std::string Command() override { Unused(); }
  std::string Dir(const std::string&) override { Unused(); }
  int FreeFile() override { Unused(); }
  void OpenForInput(int, const std::string&) override { Unused(); }
  void OpenForOutput(int, const std::string&) override { Unused(); }
  void Print(int, const std::string&) override { Unused(); }
  void Close(int) override { Unused(); }
  void Unload() override { Unused(); }
  void End() override { Unused(); }

 private:
  [[noreturn]] static void Unused() { throw ToolkitError("not a service of the engine"); }
};

std::string Key(const std::string& name) { return "Software\\RavlinFixtures\\" + name; }

bool KeyExists(const std::string& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, Key(name).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

void DeleteKey(const std::string& name) { RegDeleteKeyA(HKEY_CURRENT_USER, Key(name).c_str()); }

// The file whose export wrote the key.
std::string ModuleThatRegistered(const std::string& name) {
  char value[MAX_PATH] = {};
  DWORD size = sizeof(value);
  if (RegGetValueA(HKEY_CURRENT_USER, Key(name).c_str(), "Module", RRF_RT_REG_SZ, nullptr, value,
                   &size) != ERROR_SUCCESS)
    return {};
  return value;
}

bool Loaded(const std::string& path) { return GetModuleHandleA(path.c_str()) != nullptr; }

std::string TempFolder(const char* name) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + name;
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::string& folder) {
    GetCurrentDirectoryA(MAX_PATH, saved_);
    SetCurrentDirectoryA(folder.c_str());
  }
  ~CurrentDirectory() { SetCurrentDirectoryA(saved_); }
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;

 private:
  char saved_[MAX_PATH] = {};
};

constexpr char kCompleted[] = "Process completed";
constexpr char kLoadFailed[] = "Failure loading control DLL";
constexpr char kNoEntry[] = "Process failed in obtaining entry point or creating thread.";
constexpr char kTimeOut[] =
    "Process failed in signaled state or time-out.\r\nThe control is still running and may yet finish its work.";

// The outcome itself; what it found in the registry may follow.
std::string FirstLine(const std::string& message) { return message.substr(0, message.find("\r\n")); }

class RegServer : public ::testing::Test {
 protected:
  // The outcome message of one call.
  std::string Run(const std::string& file, const std::string& command = "") {
    toolkit.boxes.clear();
    toolkit.pointers.clear();
    FormProbe::RegServerProc(form, file, command);
    EXPECT_EQ(toolkit.boxes.size(), 1u);
    return toolkit.boxes.empty() ? std::string() : toolkit.boxes.back();
  }

  RecordingToolkit toolkit;
  WinPlatform platform;
  frmRavlin form{toolkit, platform};
};

const std::vector<MousePointer> kBusyThenDefault{MousePointer::Hourglass, MousePointer::Default};

TEST_F(RegServer, RegisterAndUnregisterTakeEffect) {
  const std::string server = Fixture("server.ocx");
  DeleteKey("server");

  EXPECT_EQ(FirstLine(Run(server)), kCompleted);
  EXPECT_TRUE(KeyExists("server"));
  EXPECT_EQ(ModuleThatRegistered("server"), server);
  EXPECT_EQ(toolkit.pointers, kBusyThenDefault);
  EXPECT_EQ(FormProbe::ApiResult(form), std::optional<int64_t>(0));
  EXPECT_FALSE(Loaded(server)) << "released before the message";

  EXPECT_EQ(FirstLine(Run(server, "u")), kCompleted);
  EXPECT_FALSE(KeyExists("server"));
  EXPECT_FALSE(Loaded(server));
  EXPECT_EQ(FirstLine(Run(server, "U")), kCompleted);  // nothing left to remove is no failure
}

TEST_F(RegServer, AFailingExportIsReportedWithItsCodeAndTheSystemsText) {
  DeleteKey("denied");
  const std::string message = Run(Fixture("denied.ocx"));
  const std::string head = "Process failed with error code 0x80070005\r\n";
  ASSERT_EQ(message.substr(0, head.size()), head);
  const std::string description = message.substr(head.size());
  EXPECT_FALSE(description.empty());
  EXPECT_NE(description.back(), '\n');
  EXPECT_NE(description.back(), '\r');
  EXPECT_NE(description.back(), ' ');
  EXPECT_FALSE(KeyExists("denied"));
  EXPECT_FALSE(Loaded(Fixture("denied.ocx")));
  EXPECT_EQ(toolkit.pointers, kBusyThenDefault);
}

TEST_F(RegServer, SFalseCountsAsCompleted) {
  DeleteKey("sfalse");
  EXPECT_EQ(FirstLine(Run(Fixture("sfalse.ocx"))), kCompleted);
  EXPECT_TRUE(KeyExists("sfalse"));
  DeleteKey("sfalse");
}

TEST_F(RegServer, ALibraryWithoutTheExportsIsReleasedAfterTheMessage) {
  EXPECT_EQ(FirstLine(Run(Fixture("plain.dll"))), kNoEntry);
  EXPECT_EQ(toolkit.pointers, std::vector<MousePointer>{MousePointer::Default});
  EXPECT_FALSE(Loaded(Fixture("plain.dll")));
}

TEST_F(RegServer, OnlyDllRegisterServerRegistersButCannotUnregister) {
  DeleteKey("registeronly");
  EXPECT_EQ(FirstLine(Run(Fixture("registeronly.ocx"))), kCompleted);
  EXPECT_TRUE(KeyExists("registeronly"));
  EXPECT_EQ(FirstLine(Run(Fixture("registeronly.ocx"), "u")), kNoEntry);
  EXPECT_TRUE(KeyExists("registeronly"));
  EXPECT_FALSE(Loaded(Fixture("registeronly.ocx")));
  DeleteKey("registeronly");
}

// The first line is always the same; the reason follows a blank line.
TEST_F(RegServer, WhatCannotBeLoadedSaysWhyAndTouchesNothing) {
  const std::string head = std::string(kLoadFailed) + "\r\n\r\n";
  const std::vector<std::pair<std::string, std::string>> files = {
      {Fixture("notalibrary.ocx"), head + "The file is not a program library."},
      {Fixture("needsgone.ocx"),
       head + "It needs ravlingone.dll, which was not found beside it or in the system folders."},
      {Fixture("missing.ocx"), head + "Error 126: "},
      {ExeFolder() + "\\fixtures", head + "Error "}};
  for (const auto& [file, message] : files) {
    const std::string told = Run(file);
    EXPECT_EQ(told.substr(0, message.size()), message) << file;
    EXPECT_TRUE(toolkit.pointers.empty()) << file;
  }
  EXPECT_FALSE(KeyExists("needsgone"));
}

TEST_F(RegServer, AnUnknownCommandIsRefusedAndNothingIsLoaded) {
  DeleteKey("server");
  EXPECT_EQ(Run(Fixture("server.ocx"), "R"), "Unknown command handle");
  EXPECT_TRUE(toolkit.pointers.empty());
  EXPECT_FALSE(KeyExists("server"));
  EXPECT_FALSE(Loaded(Fixture("server.ocx")));
}

// Without the altered search path the loader looks for a control's own
// libraries in the program's folder, not beside the control.
TEST_F(RegServer, AControlsOwnLibrariesAreFoundBesideIt) {
  DeleteKey("withdep");
  CurrentDirectory elsewhere(TempFolder("ravlin-regserver-elsewhere"));
  EXPECT_EQ(FirstLine(Run(Fixture("withdep.ocx"))), kCompleted);
  EXPECT_TRUE(KeyExists("withdep"));
  EXPECT_FALSE(Loaded(Fixture("withdep.ocx")));
  DeleteKey("withdep");
}

// A bare name is looked for by the loader in the program's folder first; the
// file that was checked is the one in the current directory.
TEST_F(RegServer, ABareNameLoadsTheFileInTheCurrentDirectory) {
  const std::string folder = TempFolder("ravlin-regserver-bare");
  const std::string here = folder + "\\samename.ocx";
  const std::string besideProgram = ExeFolder() + "\\samename.ocx";
  ASSERT_TRUE(CopyFileA(Fixture("server.ocx").c_str(), here.c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(Fixture("decoy.ocx").c_str(), besideProgram.c_str(), FALSE));
  DeleteKey("server");
  DeleteKey("decoy");
  {
    CurrentDirectory current(folder);
    // The setup means something: the plain loader takes the program's copy.
    HMODULE plain = LoadLibraryA("samename.ocx");
    ASSERT_NE(plain, nullptr);
    char loaded[MAX_PATH] = {};
    GetModuleFileNameA(plain, loaded, MAX_PATH);
    FreeLibrary(plain);
    EXPECT_EQ(lstrcmpiA(loaded, besideProgram.c_str()), 0) << loaded;

    EXPECT_EQ(FirstLine(Run("samename.ocx")), kCompleted);
  }
  EXPECT_TRUE(KeyExists("server"));
  EXPECT_EQ(lstrcmpiA(ModuleThatRegistered("server").c_str(), here.c_str()), 0)
      << ModuleThatRegistered("server");
  EXPECT_FALSE(KeyExists("decoy"));
  DeleteFileA(besideProgram.c_str());
  DeleteFileA(here.c_str());
  DeleteKey("server");
}

// What a control's registration leaves that the tests can see: its marker and
// the component category keys the category manager writes.
struct CategoryTrace {
  std::string marker;
  bool category = false;
  bool implemented = false;
  bool operator==(const CategoryTrace& o) const {
    return marker == o.marker && category == o.category && implemented == o.implemented;
  }
};

bool ClassesKeyExists(const char* subKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

CategoryTrace TraceOfComCategory() {
  return {ModuleThatRegistered("comcategory"),
          ClassesKeyExists("Component Categories\\{6A3B1E20-7C41-4F0E-9D2A-52A1C0FFEE01}"),
          ClassesKeyExists("CLSID\\{6A3B1E20-7C41-4F0E-9D2A-52A1C0FFEE02}\\Implemented Categories\\"
                           "{6A3B1E20-7C41-4F0E-9D2A-52A1C0FFEE01}")};
}

// The platform's own tool on a file, silently; its exit code.
DWORD RunSystemTool(const std::string& tool, const std::string& arguments) {
  std::string commandLine = "\"" + tool + "\" /s " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(tool.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                      nullptr, nullptr, &startup, &process))
    return ~DWORD{0};
  WaitForSingleObject(process.hProcess, 30000);
  DWORD code = ~DWORD{0};
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

std::string SystemFolder() {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  return folder;
}

// COM's category manager needs COM on the worker; what is left is what regsvr32 leaves.
TEST_F(RegServer, AControlThatRegistersThroughComLeavesWhatTheSystemToolLeaves) {
  const std::string control = Fixture("comcategory.ocx");
  const std::string quoted = "\"" + control + "\"";
  const std::string tool = SystemFolder() + "\\regsvr32.exe";
  RunSystemTool(tool, "/u " + quoted);

  ASSERT_EQ(RunSystemTool(tool, quoted), 0u);
  const CategoryTrace bySystemTool = TraceOfComCategory();
  EXPECT_TRUE(bySystemTool.category && bySystemTool.implemented);
  ASSERT_EQ(RunSystemTool(tool, "/u " + quoted), 0u);
  EXPECT_EQ(TraceOfComCategory(), CategoryTrace{});

  EXPECT_EQ(FirstLine(Run(control)), kCompleted);
  EXPECT_EQ(TraceOfComCategory(), bySystemTool);
  EXPECT_EQ(FirstLine(Run(control, "u")), kCompleted);
  EXPECT_EQ(TraceOfComCategory(), CategoryTrace{});
}

// A library this program cannot load goes to the registration tool of its own
// architecture. The 64-bit program's needs 32-bit Wine, which some hosts lack.
TEST_F(RegServer, AControlOfTheOtherArchitectureIsRegisteredByItsOwnTool) {
  if (sizeof(void*) == 8 && !HostRuns32Bit())
    GTEST_SKIP() << "this host cannot run 32-bit programs, so the 32-bit regsvr32 cannot run";
  const std::string control = Fixture("otherarch.ocx");
  ASSERT_NE(GetFileAttributesA(control.c_str()), INVALID_FILE_ATTRIBUTES) << "not built";
  DeleteKey("otherarch");
  EXPECT_EQ(FirstLine(Run(control)), kCompleted);
  EXPECT_EQ(toolkit.pointers, kBusyThenDefault);
  EXPECT_TRUE(KeyExists("otherarch"));
  EXPECT_EQ(lstrcmpiA(ModuleThatRegistered("otherarch").c_str(), control.c_str()), 0)
      << ModuleThatRegistered("otherarch");
  EXPECT_EQ(FirstLine(Run(control, "u")), kCompleted);
  EXPECT_FALSE(KeyExists("otherarch"));
  EXPECT_EQ(FormProbe::RegistrarOf(form).RunningCount(), 0u);
}

// The slow control's export takes 12 s.
TEST_F(RegServer, AWorkerPastTheLimitKeepsItsLibraryUntilItEnds) {
  const std::string slow = Fixture("slow.ocx");
  for (const char* key : {"slow", "slow-unloaded", "server"}) DeleteKey(key);

  const ULONGLONG start = GetTickCount64();
  EXPECT_EQ(Run(slow), kTimeOut);
  const ULONGLONG waited = GetTickCount64() - start;
  EXPECT_GE(waited, 9900u);
  EXPECT_LT(waited, 11000u) << "the window waits no longer than the limit";
  EXPECT_EQ(toolkit.pointers, kBusyThenDefault);
  EXPECT_EQ(FormProbe::ApiResult(form), std::optional<int64_t>(WAIT_TIMEOUT));
  EXPECT_EQ(FormProbe::RegistrarOf(form).RunningCount(), 1u);
  EXPECT_TRUE(Loaded(slow));

  // The next registration works while the first worker still runs, and leaves it be.
  EXPECT_EQ(FirstLine(Run(Fixture("server.ocx"))), kCompleted);
  EXPECT_TRUE(KeyExists("server"));
  EXPECT_FALSE(KeyExists("slow")) << "the slow export has not finished yet";
  EXPECT_EQ(FormProbe::RegistrarOf(form).RunningCount(), 1u);
  EXPECT_TRUE(Loaded(slow));

  // Once it has ended, the kept library goes.
  for (int i = 0; i < 100 && FormProbe::RegistrarOf(form).RunningCount() > 0; ++i) {
    Sleep(100);
    FormProbe::RegistrarOf(form).ReleaseEnded();
  }
  EXPECT_EQ(FormProbe::RegistrarOf(form).RunningCount(), 0u);
  EXPECT_TRUE(KeyExists("slow")) << "the slow export ran to its end";
  EXPECT_FALSE(KeyExists("slow-unloaded")) << "the library was unloaded under the running worker";
  EXPECT_FALSE(Loaded(slow));
  for (const char* key : {"slow", "slow-unloaded", "server"}) DeleteKey(key);
}

}  // namespace
}  // namespace ravlin
