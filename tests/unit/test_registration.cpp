#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <set>

#include "Fakes.h"
#include "FormProbe.h"
#include "PeImageBuilder.h"
#include "inspection/PeImage.h"
#include "registration/Engine.h"
#include "registration/Worker.h"

namespace ravlin {
namespace {

void RegisterExport() {}
void UnregisterExport() {}

const Module kModule = reinterpret_cast<Module>(0x5000);
const Handle kThread = reinterpret_cast<Handle>(0x70);
constexpr char kCurrentDirectory[] = "C:\\work\\";
constexpr char kFile[] = "server.ocx";
constexpr char kFullPath[] = "C:\\work\\server.ocx";
constexpr char kLoad[] = "LoadLibraryExA:C:\\work\\server.ocx|8";

constexpr char kLoadFailed[] = "MsgBox:Failure loading control DLL\r\n\r\nError 193.";
constexpr char kUnknown[] = "MsgBox:Unknown command handle";
constexpr char kNoEntry[] = "MsgBox:Process failed in obtaining entry point or creating thread.";
constexpr char kTimeOut[] =
    "MsgBox:Process failed in signaled state or time-out.\r\nThe control is still running and may yet finish its work.";
constexpr char kCompleted[] = "MsgBox:Process completed";

struct ThreadStart {
  void* attributes;
  size_t stackSize;
  ThreadProc start;
  void* parameter;
  uint32_t flags;
  bool hasIdPlace;
};

// A window whose platform has a loadable control in the current directory,
// exporting both entry points, whose worker ends at once with S_OK.
class Engine : public ::testing::Test {
 public:
  Engine() {
    w.platform.onGetFullPathNameA = [](const char* name, uint32_t size, char* buffer,
                                       char**) -> uint32_t {
      const std::string full = std::string(kCurrentDirectory) + name;
      if (full.size() + 1 > size) return static_cast<uint32_t>(full.size() + 1);
      std::memcpy(buffer, full.c_str(), full.size() + 1);
      return static_cast<uint32_t>(full.size());
    };
    w.platform.onGetFileAttributesA = [this](const char* path) {
      return existing.count(path) ? 0x20u : kInvalidFileAttributes;
    };
    w.platform.onLoadLibraryExA = [](const char*, Handle, uint32_t) { return kModule; };
    w.platform.lastError = 193;  // what the loader says when it refuses a file
    w.platform.onGetProcAddress = [this](Module module, const char* name) -> Proc {
      EXPECT_EQ(module, kModule);
      if (exports.count(name) == 0) return nullptr;
      return std::strcmp(name, "DllRegisterServer") == 0 ? &RegisterExport : &UnregisterExport;
    };
    w.platform.onCreateThread = [this](void* attributes, size_t stack, ThreadProc start, void* parameter,
                                       uint32_t flags, uint32_t* id) {
      starts.push_back({attributes, stack, start, parameter, flags, id != nullptr});
      return kThread;
    };
  }

  void Run(const std::string& file = kFile, const std::string& command = "") {
    FormProbe::RegServerProc(w.form, file, command);
  }

  // The log without the resolution of the file's path.
  std::vector<std::string> Steps() const {
    std::vector<std::string> steps;
    for (const std::string& entry : w.log.entries)
      if (entry.rfind("GetFullPathNameA:", 0) != 0 && entry.rfind("GetFileAttributesA:", 0) != 0)
        steps.push_back(entry);
    return steps;
  }

  FakeWindow w;
  std::set<std::string> existing{kFullPath};
  std::set<std::string> exports{"DllRegisterServer", "DllUnregisterServer"};
  std::vector<ThreadStart> starts;
};

// Each row of the outcome table: what goes wrong, and every call that follows, in order.
struct OutcomeCase {
  const char* name;
  std::function<void(Engine&)> script;
  std::string command;
  std::vector<std::string> steps;
  size_t pendingWorkers;
};

class Outcomes : public Engine, public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(Outcomes, PointerLibraryAndThreadHandleAsTheTableSays) {
  GetParam().script(*this);
  Run(kFile, GetParam().command);

  EXPECT_EQ(Steps(), GetParam().steps);
  EXPECT_EQ(w.toolkit.pointer, MousePointer::Default);
  EXPECT_EQ(FormProbe::PendingWorkers(w.form), GetParam().pendingWorkers);
  // Whatever is released is what was acquired.
  for (Module freed : w.platform.freedModules) EXPECT_EQ(freed, kModule);
  for (Handle closed : w.platform.closedHandles) EXPECT_EQ(closed, kThread);
}

INSTANTIATE_TEST_SUITE_P(
    EveryRow, Outcomes,
    ::testing::Values(
        OutcomeCase{"LoaderReturnsZero",
                    [](Engine& e) { e.w.platform.onLoadLibraryExA = nullptr; }, "",
                    {kLoad, "FormatMessageA:4608", kLoadFailed}, 0},
        OutcomeCase{"UnknownCommand", [](Engine&) {}, "R", {kLoad, kUnknown, "FreeLibrary"}, 0},
        OutcomeCase{"ExportAbsent", [](Engine& e) { e.exports.clear(); }, "",
                    {kLoad, "GetProcAddress:DllRegisterServer", "Pointer:Default", kNoEntry,
                     "FreeLibrary"},
                    0},
        OutcomeCase{"ThreadNotCreated",
                    [](Engine& e) {
                      e.w.platform.onCreateThread = [](void*, size_t, ThreadProc, void*, uint32_t,
                                                       uint32_t*) { return Handle{}; };
                    },
                    "",
                    {kLoad, "GetProcAddress:DllRegisterServer", "Pointer:Hourglass", "InstallCrashFilter", "CreateThread",
                     "Pointer:Default", kNoEntry, "FreeLibrary"},
                    0},
        OutcomeCase{"WaitTimesOut",
                    [](Engine& e) {
                      e.w.platform.onWaitForSingleObject = [](Handle, uint32_t) { return kWaitTimeout; };
                    },
                    "",
                    {kLoad, "GetProcAddress:DllRegisterServer", "Pointer:Hourglass", "InstallCrashFilter", "CreateThread",
                     "WaitForSingleObject:10000", "Pointer:Default", kTimeOut},
                    1},
        OutcomeCase{"WaitFails",
                    [](Engine& e) {
                      e.w.platform.onWaitForSingleObject = [](Handle, uint32_t) { return kWaitFailed; };
                    },
                    "u",
                    {kLoad, "GetProcAddress:DllUnregisterServer", "Pointer:Hourglass",
                     "InstallCrashFilter", "CreateThread", "WaitForSingleObject:10000", "Pointer:Default", kTimeOut},
                    1},
        OutcomeCase{"Success", [](Engine&) {}, "",
                    {kLoad, "GetProcAddress:DllRegisterServer", "Pointer:Hourglass", "InstallCrashFilter", "CreateThread",
                     "WaitForSingleObject:10000", "GetExitCodeThread", "CloseHandle", "FreeLibrary",
                     "Pointer:Default", kCompleted},
                    0}),
    [](const ::testing::TestParamInfo<OutcomeCase>& info) { return info.param.name; });

// The worker starts at the program's own procedure, which runs the export inside
// a COM apartment; the export's result, whatever COM said, is the exit code.
TEST_F(Engine, TheWorkerRunsTheExportInsideCom) {
  // Timed out, so the worker's job is still kept when the test plays the worker.
  w.platform.onWaitForSingleObject = [](Handle, uint32_t ms) { return ms ? kWaitTimeout : kWaitObject0; };
  Run(kFile, "U");
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0].attributes, nullptr);
  EXPECT_EQ(starts[0].stackSize, 0u);
  EXPECT_EQ(starts[0].start, &RegistrationWorker);
  EXPECT_EQ(starts[0].flags, 0u);
  EXPECT_TRUE(starts[0].hasIdPlace);

  Proc called = nullptr;
  w.platform.onCallExport = [&](Proc entryPoint) {
    called = entryPoint;
    return static_cast<int32_t>(0x80004005);
  };
  for (int32_t initialised : {0, 1, static_cast<int32_t>(0x80010106)}) {  // S_OK, S_FALSE, a failure
    w.platform.oleInitializeResult = initialised;
    w.log.Clear();
    EXPECT_EQ(starts[0].start(starts[0].parameter), 0x80004005u);
    EXPECT_EQ(called, &UnregisterExport);
    const std::vector<std::string> expected =
        initialised >= 0 ? std::vector<std::string>{"OleInitialize", "CallExport", "OleUninitialize"}
                         : std::vector<std::string>{"OleInitialize", "CallExport"};
    EXPECT_EQ(w.log.entries, expected) << initialised;
  }
}

TEST_F(Engine, WaitsOnTheWorkerAndKeepsTheResult) {
  for (uint32_t result : {kWaitObject0, kWaitTimeout, kWaitFailed, uint32_t{0x80}}) {
    w.platform.onWaitForSingleObject = [result](Handle thread, uint32_t milliseconds) {
      EXPECT_EQ(thread, kThread);
      if (milliseconds == 0) return kWaitTimeout;  // a worker kept from an earlier round
      EXPECT_EQ(milliseconds, 10000u);
      return result;
    };
    w.log.Clear();
    Run();
    EXPECT_EQ(w.log.WithPrefix("WaitForSingleObject:10000").size(), 1u);
    EXPECT_EQ(FormProbe::ApiResult(w.form), std::optional<int64_t>(result));
  }
}

// Only the whole, exact text chooses; everything else is refused after the load.
struct CommandCase {
  const char* command;
  const char* exportName;  // null: refused
};

class Commands : public Engine, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(Commands, ChooseTheExportOnlyAfterTheLoad) {
  const CommandCase& c = GetParam();
  Run(kFile, c.command);
  if (c.exportName) {
    EXPECT_EQ(w.log.WithPrefix("GetProcAddress:"),
              std::vector<std::string>{std::string("GetProcAddress:") + c.exportName});
    EXPECT_EQ(w.toolkit.messages, std::vector<std::string>{"Process completed"});
  } else {
    EXPECT_EQ(Steps(), (std::vector<std::string>{kLoad, kUnknown, "FreeLibrary"}));
  }

  // An unloadable file says so whatever the command.
  w.log.Clear();
  w.platform.onLoadLibraryExA = nullptr;
  Run(kFile, c.command);
  EXPECT_EQ(Steps(), (std::vector<std::string>{kLoad, "FormatMessageA:4608", kLoadFailed}));
}

INSTANTIATE_TEST_SUITE_P(Table, Commands,
                         ::testing::Values(CommandCase{"", "DllRegisterServer"},
                                           CommandCase{"U", "DllUnregisterServer"},
                                           CommandCase{"u", "DllUnregisterServer"},
                                           CommandCase{"R", nullptr}, CommandCase{"r", nullptr},
                                           CommandCase{" ", nullptr}, CommandCase{"u ", nullptr},
                                           CommandCase{" u", nullptr},
                                           CommandCase{"unregister", nullptr},
                                           CommandCase{"UU", nullptr}));

constexpr char kRightsAdvice[] =
    "Registering a control usually needs administrator rights: close this program, start it with "
    "'Run as administrator' and try again.";

// The worker's exit code is the export's HRESULT.
struct ExitCase {
  uint32_t code;
  const char* description;  // what the system has for it, null for nothing
  std::string message;
};

class ExitCodes : public Engine, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(ExitCodes, AFailureCodeIsReportedAfterEverythingIsReleased) {
  const ExitCase& c = GetParam();
  w.platform.onGetExitCodeThread = [&](Handle thread, uint32_t* code) {
    EXPECT_EQ(thread, kThread);
    *code = c.code;
    return 1;
  };
  std::vector<uint32_t> described;
  w.platform.onFormatMessageA = [&](uint32_t code, char* buffer, uint32_t size) -> uint32_t {
    described.push_back(code);
    if (!c.description) return 0;
    const size_t length = std::strlen(c.description);
    EXPECT_GT(size, length);
    std::memcpy(buffer, c.description, length + 1);
    return static_cast<uint32_t>(length);
  };

  Run();

  EXPECT_EQ(w.toolkit.messages, std::vector<std::string>{c.message});
  const auto at = [&](const std::string& entry) { return w.log.FindPrefix(entry); };
  EXPECT_LT(at("GetExitCodeThread"), at("CloseHandle"));
  EXPECT_LT(at("CloseHandle"), at("FreeLibrary"));
  EXPECT_LT(at("FreeLibrary"), at("Pointer:Default"));
  EXPECT_LT(at("Pointer:Default"), at("MsgBox:"));
  if (static_cast<int32_t>(c.code) < 0) {
    EXPECT_EQ(described, std::vector<uint32_t>{c.code});
    EXPECT_EQ(w.log.WithPrefix("FormatMessageA:"), std::vector<std::string>{"FormatMessageA:4608"});
  } else {
    EXPECT_TRUE(described.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ExitCodes,
    ::testing::Values(
        ExitCase{0, nullptr, "Process completed"},            // S_OK
        ExitCase{1, "Incorrect function.\r\n", "Process completed"},  // S_FALSE
        ExitCase{0x7FFFFFFF, nullptr, "Process completed"},
        // Access refused, for a user whom the administrator test says no: the advice follows.
        ExitCase{0x80070005, "Access is denied.\r\n",
                 "Process failed with error code 0x80070005\r\nAccess is denied.\r\n\r\n" + std::string(kRightsAdvice)},
        // Codes the system has no words for get the well-known ones.
        ExitCase{0x8002801C, nullptr,
                 "Process failed with error code 0x8002801C\r\nError accessing the OLE registry.\r\n\r\n" +
                     std::string(kRightsAdvice)},
        ExitCase{0x800401F0, nullptr,
                 "Process failed with error code 0x800401F0\r\nCoInitialize has not been called."},
        ExitCase{0x800a01ad, "ActiveX component can't create object \r\n \r\n",
                 "Process failed with error code 0x800A01AD\r\nActiveX component can't create object"},
        ExitCase{0x80040200, nullptr,
                 "Process failed with error code 0x80040200\r\nThe server could not register its type library."},
        ExitCase{0x80000000, " \r\n", "Process failed with error code 0x80000000"},
        ExitCase{0xFFFFFFFF, nullptr, "Process failed with error code 0xFFFFFFFF"}));

TEST_F(Engine, AnAdministratorIsNotToldToBecomeOne) {
  w.platform.isUserAnAdmin = 1;
  w.platform.onGetExitCodeThread = [](Handle, uint32_t* code) {
    *code = 0x80040151;  // REGDB_E_WRITEREGDB
    return 1;
  };
  Run();
  EXPECT_EQ(w.toolkit.messages,
            std::vector<std::string>{"Process failed with error code 0x80040151\r\nCould not write key to registry."});
}

TEST_F(Engine, AnExitCodeThatCannotBeReadCountsAsCompleted) {
  w.platform.onGetExitCodeThread = [](Handle, uint32_t* code) {
    *code = 0x80070005;
    return 0;
  };
  Run();
  EXPECT_EQ(w.toolkit.messages, std::vector<std::string>{"Process completed"});
  EXPECT_EQ(w.platform.freedModules.size(), 1u);
}

// The loader could not find a module: the walk names the DLL found nowhere.
TEST_F(Engine, AMissingDependencyIsNamedWithTheChainThatNeedsIt) {
  w.platform.onLoadLibraryExA = nullptr;
  w.platform.lastError = kErrorModNotFound;
  w.platform.pathVariable = "C:\\tools;\"C:\\quoted dir\\\"";
  // An API set and a system library are there; a.dll lies beside the control, b.dll nowhere.
  w.platform.fileBytes[kFullPath] =
      PeImageBytes(kMachineAmd64, {"api-ms-win-core-synch-l1-2-0.dll", "KERNEL32.dll", "a.dll"}, true);
  w.platform.fileBytes["C:\\work\\a.dll"] = PeImageBytes(kMachineAmd64, {"KERNEL32.dll", "b.dll"}, true);
  existing = {kFullPath, "C:\\WINDOWS\\system32\\KERNEL32.dll", "C:\\work\\a.dll"};
  const std::string head = "Failure loading control DLL\r\n\r\n";

  Run();
  EXPECT_EQ(w.toolkit.messages.back(),
            head + "It needs a.dll, which needs b.dll, which was not found beside it or in the system folders.");
  existing.insert("C:\\quoted dir\\b.dll");  // found on PATH: nothing is missing after all
  Run();
  EXPECT_EQ(w.toolkit.messages.back(), head + "Error 126.");
  existing.erase("C:\\work\\a.dll");
  Run();
  EXPECT_EQ(w.toolkit.messages.back(),
            head + "It needs a.dll, which was not found beside it or in the system folders.");
}

// A fault ends the worker; the control's library stays loaded, since its state is unknown.
TEST_F(Engine, ACrashIsToldWithWhereItHappened) {
  w.platform.onCreateThread = [](void*, size_t, ThreadProc, void*, uint32_t, uint32_t* id) {
    *id = 7;
    return kThread;
  };
  w.platform.crashes[7] = CrashRecord{0xC0000005, 0x10001010, "acc_crash.ocx", 0x1010};
  Run();
  w.platform.crashes[7] = CrashRecord{0xE0000001, 0x1234, "", 0};
  Run(kFile, "u");
  EXPECT_EQ(w.toolkit.messages,
            (std::vector<std::string>{
                "Process failed: the control crashed in DllRegisterServer (exception 0xC0000005, "
                "access violation at acc_crash.ocx+0x1010).",
                "Process failed: the control crashed in DllUnregisterServer (exception 0xE0000001, "
                "at 0x00001234)."}));
  EXPECT_TRUE(w.platform.freedModules.empty());
  EXPECT_EQ(w.platform.closedHandles, (std::vector<Handle>{kThread, kThread}));
  EXPECT_EQ(w.toolkit.pointer, MousePointer::Default);
}

// The loader gets the file the workflow found here, by its absolute path.
struct PathCase {
  const char* name;
  std::string fileSpec;
  std::function<void(Engine&)> script;
  std::string loaded;  // the LoadLibraryExA entry
};

class LoadPath : public Engine, public ::testing::WithParamInterface<PathCase> {};

TEST_P(LoadPath, TheCheckedFileIsLoadedByItsFullPath) {
  GetParam().script(*this);
  Run(GetParam().fileSpec);
  EXPECT_EQ(w.log.WithPrefix("LoadLibraryExA:"), std::vector<std::string>{GetParam().loaded});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadPath,
    ::testing::Values(
        PathCase{"BareNameHere", "server.ocx", [](Engine&) {}, kLoad},
        PathCase{"RelativePath", "sub\\x.ocx",
                 [](Engine& e) { e.existing = {"C:\\work\\sub\\x.ocx"}; },
                 "LoadLibraryExA:C:\\work\\sub\\x.ocx|8"},
        // Absent here or a folder: the loader's own rules, which then fail.
        PathCase{"NotHere", "other.ocx", [](Engine&) {}, "LoadLibraryExA:other.ocx|0"},
        PathCase{"Directory", "server.ocx",
                 [](Engine& e) {
                   e.w.platform.onGetFileAttributesA = [](const char*) {
                     return kFileAttributeDirectory;
                   };
                 },
                 "LoadLibraryExA:server.ocx|0"},
        PathCase{"NoFullPath", "server.ocx",
                 [](Engine& e) {
                   e.w.platform.onGetFullPathNameA = [](const char*, uint32_t, char*,
                                                        char**) -> uint32_t { return 0; };
                 },
                 "LoadLibraryExA:server.ocx|0"},
        PathCase{"LongerThanTheFirstBuffer", std::string(300, 'a') + ".ocx",
                 [](Engine& e) {
                   e.existing = {std::string(kCurrentDirectory) + std::string(300, 'a') + ".ocx"};
                 },
                 "LoadLibraryExA:C:\\work\\" + std::string(300, 'a') + ".ocx|8"}),
    [](const ::testing::TestParamInfo<PathCase>& info) { return info.param.name; });

// Every step is guarded: a failing one is skipped and the call still ends in a message.
struct ThrowCase {
  const char* name;
  std::function<void(FakePlatform&)> breakStep;
  const char* message;
  size_t freed;
  size_t pendingWorkers;
};

class FailingSteps : public Engine, public ::testing::WithParamInterface<ThrowCase> {};

[[noreturn]] void Raise() { throw ToolkitError("Automation error"); }

TEST_P(FailingSteps, AreSkippedAndNothingReachesTheCaller) {
  GetParam().breakStep(w.platform);
  EXPECT_NO_THROW(Run());
  EXPECT_EQ(w.toolkit.messages, std::vector<std::string>{GetParam().message});
  EXPECT_EQ(w.platform.freedModules.size(), GetParam().freed);
  EXPECT_EQ(FormProbe::PendingWorkers(w.form), GetParam().pendingWorkers);
  EXPECT_EQ(w.toolkit.pointer, MousePointer::Default);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FailingSteps,
    ::testing::Values(
        ThrowCase{"Load", [](FakePlatform& p) { p.onLoadLibraryExA = [](const char*, Handle, uint32_t) -> Module { Raise(); }; },
                  "Failure loading control DLL", 0, 0},
        ThrowCase{"Lookup", [](FakePlatform& p) { p.onGetProcAddress = [](Module, const char*) -> Proc { Raise(); }; },
                  "Process failed in obtaining entry point or creating thread.", 1, 0},
        ThrowCase{"Thread",
                  [](FakePlatform& p) {
                    p.onCreateThread = [](void*, size_t, ThreadProc, void*, uint32_t, uint32_t*) -> Handle { Raise(); };
                  },
                  "Process failed in obtaining entry point or creating thread.", 1, 0},
        // A wait that did not answer cannot say the worker ended.
        ThrowCase{"Wait", [](FakePlatform& p) { p.onWaitForSingleObject = [](Handle, uint32_t) -> uint32_t { Raise(); }; },
                  kTimeOut + 7, 0, 1},
        ThrowCase{"ExitCode", [](FakePlatform& p) { p.onGetExitCodeThread = [](Handle, uint32_t*) -> int32_t { Raise(); }; },
                  "Process completed", 1, 0}),
    [](const ::testing::TestParamInfo<ThrowCase>& info) { return info.param.name; });

TEST_F(Engine, AFailingMessageBoxDoesNotEscape) {
  w.toolkit.onMsgBox = [](const std::string&) { Raise(); };
  EXPECT_NO_THROW(Run());
  EXPECT_EQ(w.platform.freedModules.size(), 1u);
  EXPECT_EQ(w.platform.closedHandles.size(), 1u);
}

TEST_F(Engine, TwoRunsInARowEachLoadAndReleaseBeforeTheirMessage) {
  Run();
  Run();
  EXPECT_EQ(w.log.WithPrefix("LoadLibraryExA:").size(), 2u);
  std::vector<std::string> releases;
  for (const std::string& entry : Steps())
    if (entry == "FreeLibrary" || entry == kCompleted || entry.rfind("LoadLibraryExA:", 0) == 0)
      releases.push_back(entry);
  EXPECT_EQ(releases, (std::vector<std::string>{kLoad, "FreeLibrary", kCompleted, kLoad,
                                                "FreeLibrary", kCompleted}));
}

// A worker that outlived its wait keeps its library until it has ended.
class TimedOut : public Engine {
 protected:
  TimedOut() {
    w.platform.onLoadLibraryExA = [this](const char*, Handle, uint32_t) { return ModuleOf(++loads); };
    w.platform.onCreateThread = [this](void*, size_t, ThreadProc, void*, uint32_t, uint32_t*) {
      return ThreadOf(++threads);
    };
    w.platform.onGetProcAddress = [](Module, const char*) -> Proc { return &RegisterExport; };
    w.platform.onWaitForSingleObject = [this](Handle thread, uint32_t milliseconds) {
      if (milliseconds == 10000) return hangs ? kWaitTimeout : kWaitObject0;
      return ended.count(thread) ? kWaitObject0 : kWaitTimeout;
    };
  }
  // The window outlives this fixture's members, and its destructor still asks.
  ~TimedOut() override { w.platform.onWaitForSingleObject = nullptr; }

  static Module ModuleOf(int load) { return reinterpret_cast<Module>(0x5000 + 0x1000 * load); }
  static Handle ThreadOf(int thread) { return reinterpret_cast<Handle>(0x70 + thread); }

  int loads = 0;
  int threads = 0;
  bool hangs = true;
  std::set<Handle> ended;
};

TEST_F(TimedOut, NothingIsReleasedWhileTheWorkerMayRun) {
  Run();
  EXPECT_TRUE(w.platform.freedModules.empty());
  EXPECT_TRUE(w.platform.closedHandles.empty());
  EXPECT_EQ(FormProbe::PendingWorkers(w.form), 1u);

  // The next call looks without waiting, and the still running worker keeps its library.
  hangs = false;
  w.log.Clear();
  Run();
  EXPECT_EQ(w.log.entries.front(), "WaitForSingleObject:0");
  EXPECT_EQ(w.platform.freedModules, std::vector<Module>{ModuleOf(2)});
  EXPECT_EQ(w.platform.closedHandles, std::vector<Handle>{ThreadOf(2)});
  EXPECT_EQ(FormProbe::PendingWorkers(w.form), 1u);
}

TEST_F(TimedOut, AnEndedWorkerIsReleasedWhenTheNextRegistrationStarts) {
  Run();
  ended.insert(ThreadOf(1));
  hangs = false;
  w.log.Clear();
  Run();
  // Thread handle, then library, before the new load.
  const std::vector<std::string> head(w.log.entries.begin(), w.log.entries.begin() + 3);
  EXPECT_EQ(head, (std::vector<std::string>{"WaitForSingleObject:0", "CloseHandle", "FreeLibrary"}));
  EXPECT_EQ(w.platform.freedModules, (std::vector<Module>{ModuleOf(1), ModuleOf(2)}));
  EXPECT_EQ(w.platform.closedHandles, (std::vector<Handle>{ThreadOf(1), ThreadOf(2)}));
  EXPECT_EQ(FormProbe::PendingWorkers(w.form), 0u);
  EXPECT_EQ(w.toolkit.messages.back(), "Process completed");
}

TEST_F(TimedOut, OnlyTheOneWaitEverBlocks) {
  for (int i = 0; i < 3; ++i) Run();
  ended.insert(ThreadOf(2));
  Run();
  for (const std::string& wait : w.log.WithPrefix("WaitForSingleObject:"))
    EXPECT_TRUE(wait == "WaitForSingleObject:0" || wait == "WaitForSingleObject:10000") << wait;
  EXPECT_EQ(w.log.WithPrefix("WaitForSingleObject:10000").size(), 4u);
  EXPECT_EQ(w.platform.freedModules, std::vector<Module>{ModuleOf(2)});
  EXPECT_EQ(FormProbe::PendingWorkers(w.form), 3u);
}

TEST_F(TimedOut, ClosingTheWindowLeavesARunningWorkersLibraryLoaded) {
  w.platform.freedModules.clear();
  {
    frmRavlin form(w.toolkit, w.platform);
    FormProbe::RegServerProc(form, kFile, "");
    FormProbe::RegServerProc(form, kFile, "");
    ended.insert(ThreadOf(1));
  }
  EXPECT_EQ(w.platform.freedModules, std::vector<Module>{ModuleOf(1)});
  // Both handles are closed: the one of the running worker is simply no longer needed.
  EXPECT_EQ(std::set<Handle>(w.platform.closedHandles.begin(), w.platform.closedHandles.end()),
            (std::set<Handle>{ThreadOf(1), ThreadOf(2)}));
}

// A library of the other architecture goes to that architecture's registration
// tool. These tests run as a 64-bit program, so the other one is x86.
class HandOver : public Engine {
 protected:
  HandOver() {
    w.platform.onLoadLibraryExA = nullptr;  // the loader refuses it
    Reset();
    w.platform.onCreateProcessA = [this](const char* application, char*, uint32_t,
                                     ProcessInformation* information) {
      EXPECT_STREQ(application, kTool);
      information->process = kProcess;
      information->thread = kProcessThread;
      return 1;
    };
    w.platform.onGetExitCodeProcess = [this](Handle process, uint32_t* code) {
      EXPECT_EQ(process, kProcess);
      *code = toolExitCode;
      return 1;
    };
  }

  void Reset() {
    w.platform.fileBytes[kFullPath] = PeImageBytes(kMachineI386);
    w.platform.wow64Directory = "C:\\WINDOWS\\SysWOW64";
    existing.insert(kTool);
    w.log.Clear();
    w.toolkit.messages.clear();
  }

  static constexpr char kTool[] = "C:\\WINDOWS\\SysWOW64\\regsvr32.exe";
  const Handle kProcess = reinterpret_cast<Handle>(0x90);
  const Handle kProcessThread = reinterpret_cast<Handle>(0x94);
  uint32_t toolExitCode = 0;
};

TEST_F(HandOver, TheToolRunsSilentlyUnderTheSameLimitAndItsCodeIsTold) {
  const std::vector<std::pair<uint32_t, std::string>> codes = {
      {0, "Process completed"},
      {3, "Failure loading control DLL"},
      {4, "Process failed in obtaining entry point or creating thread."},
      {5, "Process failed: the control's own registration reported an error."},
      {1, "Process failed: the registration tool ended with code 1."},
      {0xC0000005, "Process failed: the registration tool ended with code 3221225477."}};
  for (const auto& [code, message] : codes) {
    toolExitCode = code;
    w.log.Clear();
    Run(kFile, "u");
    EXPECT_EQ(Steps(),
              (std::vector<std::string>{
                  kLoad, "Pointer:Hourglass",
                  "CreateProcessA:\"C:\\WINDOWS\\SysWOW64\\regsvr32.exe\" /s /u \"C:\\work\\server.ocx\"|134217728",
                  "CloseHandle", "WaitForSingleObject:10000", "GetExitCodeProcess", "CloseHandle",
                  "Pointer:Default", "MsgBox:" + message}))
        << code;
  }
  EXPECT_EQ(w.platform.closedHandles.size(), 2 * codes.size());
  w.log.Clear();
  Run();
  EXPECT_EQ(w.log.WithPrefix("CreateProcessA:"),
            std::vector<std::string>{"CreateProcessA:\"C:\\WINDOWS\\SysWOW64\\regsvr32.exe\" /s "
                                     "\"C:\\work\\server.ocx\"|134217728"});
}

TEST_F(HandOver, AToolStillRunningAtTheLimitIsKeptUntilItEnds) {
  bool ended = false;
  w.platform.onWaitForSingleObject = [&](Handle, uint32_t ms) {
    return ms == 0 && ended ? kWaitObject0 : kWaitTimeout;
  };
  Run();
  EXPECT_EQ(w.toolkit.messages, std::vector<std::string>{kTimeOut + 7});
  EXPECT_EQ(w.platform.closedHandles, std::vector<Handle>{kProcessThread});
  EXPECT_EQ(FormProbe::PendingWorkers(w.form), 1u);
  ended = true;
  FormProbe::ReleaseEndedWorkers(w.form);
  EXPECT_EQ(w.platform.closedHandles, (std::vector<Handle>{kProcessThread, kProcess}));
  EXPECT_TRUE(w.platform.freedModules.empty());
}

// Anything else stays a load failure, and says why.
TEST_F(HandOver, OnlyALibraryOfTheOtherArchitectureWithAToolToTakeIt) {
  struct Refusal {
    const char* name;
    std::function<void(HandOver&)> script;
    const char* reason;
  };
  const auto bytes = [](std::string image) {
    return [image](HandOver& h) { h.w.platform.fileBytes[kFullPath] = image; };
  };
  const std::string x86Reason = "The file is a library for x86 processors, which this program cannot load.";
  const std::vector<Refusal> refusals = {
      {"own architecture", bytes(PeImageBytes(kMachineAmd64, {}, true)), "Error 193."},
      {"ARM64", bytes(PeImageBytes(kMachineArm64, {}, true)),
       "The file is a library for ARM64 processors, which this program cannot load."},
      {"Itanium", bytes(PeImageBytes(kMachineIa64, {}, true)),
       "The file is a library for Itanium processors, which this program cannot load."},
      {"not a library", bytes("just text"), "The file is not a program library."},
      {"cut short", bytes(PeImageBytes(kMachineI386).substr(0, 0x50)), "The file is not a program library."},
      {"32-bit system", [](HandOver& h) { h.w.platform.wow64Directory.clear(); }, x86Reason.c_str()},
      {"no tool there", [](HandOver& h) { h.existing.erase(kTool); }, x86Reason.c_str()}};
  for (const Refusal& r : refusals) {
    Reset();
    r.script(*this);
    Run();
    EXPECT_EQ(w.toolkit.messages,
              std::vector<std::string>{std::string("Failure loading control DLL\r\n\r\n") + r.reason})
        << r.name;
    EXPECT_TRUE(w.log.WithPrefix("CreateProcessA:").empty()) << r.name;
  }
  Reset();
  w.platform.onCreateProcessA = [](const char*, char*, uint32_t, ProcessInformation*) { return 0; };
  Run();
  EXPECT_EQ(w.toolkit.messages,
            std::vector<std::string>{"Process failed in obtaining entry point or creating thread."});
  EXPECT_EQ(w.toolkit.pointer, MousePointer::Default);
}

// From the 32-bit program the native tool sits behind the Sysnative alias.
TEST_F(HandOver, TheThirtyTwoBitProgramHandsX64LibrariesToTheNativeTool) {
  existing.insert("C:\\WINDOWS\\Sysnative\\regsvr32.exe");
  EXPECT_EQ(OtherArchitectureTool(w.platform, kMachineAmd64, false),
            "C:\\WINDOWS\\Sysnative\\regsvr32.exe");
  EXPECT_EQ(OtherArchitectureTool(w.platform, kMachineI386, false), "");
  EXPECT_EQ(OtherArchitectureTool(w.platform, kMachineI386, true), kTool);
  EXPECT_EQ(OtherArchitectureTool(w.platform, kMachineAmd64, true), "");
}

}  // namespace
}  // namespace ravlin
