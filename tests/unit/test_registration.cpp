#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <ostream>
#include <set>

#include "Fakes.h"
#include "FormProbe.h"
#include "PeImageBuilder.h"
#include "inspection/PeImage.h"
#include "registration/Registrar.h"
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
constexpr char kNoEntry[] = "MsgBox:Process failed in obtaining entry point or creating thread.";
constexpr char kTimeOut[] =
    "MsgBox:Process failed in signaled state or time-out.\r\nThe control is still running and may yet finish its work.";
constexpr char kCompleted[] = "MsgBox:Process completed";

using Kind = Outcome::Kind;

struct ThreadStart {
  void* attributes;
  size_t stackSize;
  ThreadProc start;
  void* parameter;
  uint32_t flags;
  bool hasIdPlace;
};

// A platform with a loadable control in the current directory, exporting both
// entry points, whose worker ends at once with S_OK. The window runs on it for
// what the user sees; a registrar of its own for the outcomes.
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

  // Through the window: what the user sees, in order.
  void Run(const std::string& file = kFile, const std::string& command = "") {
    FormProbe::RegServerProc(w.form, file, command);
  }
  // The registrar alone: the outcome, with busy counting the calls of onBusy.
  Outcome Registered(Action action = Action::Register, const std::string& file = kFile) {
    return registrar.Run(file, action, [this] { ++busy; });
  }

  // The log without the resolution of the file's path and the state read after a yes.
  std::vector<std::string> Steps() const {
    std::vector<std::string> steps;
    for (const std::string& entry : w.log.entries)
      if (entry.rfind("GetFullPathNameA:", 0) != 0 && entry.rfind("GetFileAttributesA:", 0) != 0 &&
          entry.rfind("GetSystemDirectoryA:", 0) != 0)
        steps.push_back(entry);
    return steps;
  }

  FakeWindow w;
  int busy = 0;
  std::set<std::string> existing{kFullPath};
  std::set<std::string> exports{"DllRegisterServer", "DllUnregisterServer"};
  std::vector<ThreadStart> starts;
  // Last, so it goes first: its destructor still asks the platform, whose answers read the members above.
  Registrar registrar{w.platform};
};

// Each row: what goes wrong, and every call that follows, in the order the user meets it.
struct OrderCase {
  const char* name;
  std::function<void(Engine&)> script;
  std::string command;
  std::vector<std::string> steps;
};
void PrintTo(const OrderCase& c, std::ostream* os) { *os << c.name; }

class Order : public Engine, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(Order, PointerMessageAndReleasesAsTheUserMeetsThem) {
  GetParam().script(*this);
  Run(kFile, GetParam().command);

  EXPECT_EQ(Steps(), GetParam().steps);
  EXPECT_EQ(w.toolkit.pointer, MousePointer::Default);
  // Whatever is released is what was acquired.
  for (Module freed : w.platform.freedModules) EXPECT_EQ(freed, kModule);
  for (Handle closed : w.platform.closedHandles) EXPECT_EQ(closed, kThread);
}

INSTANTIATE_TEST_SUITE_P(
    EveryPath, Order,
    ::testing::Values(
        OrderCase{"LoaderReturnsZero", [](Engine& e) { e.w.platform.onLoadLibraryExA = nullptr; }, "",
                  {kLoad, "FormatMessageA:4608", kLoadFailed}},
        // Refused before anything is loaded: the window never passes such a command.
        OrderCase{"UnknownCommand", [](Engine&) {}, "R", {"MsgBox:Unknown command handle"}},
        // The library stays loaded until its message is dismissed.
        OrderCase{"ExportAbsent", [](Engine& e) { e.exports.clear(); }, "",
                  {kLoad, "GetProcAddress:DllRegisterServer", "GetProcAddress:DllInstall", "Pointer:Default",
                   kNoEntry + std::string("\r\n\r\nIt has no DllRegisterServer export: it is not a self-registering control."),
                   "FreeLibrary"}},
        OrderCase{"ThreadNotCreated",
                  [](Engine& e) {
                    e.w.platform.onCreateThread = [](void*, size_t, ThreadProc, void*, uint32_t, uint32_t*) {
                      return Handle{};
                    };
                  },
                  "",
                  {kLoad, "GetProcAddress:DllRegisterServer", "Pointer:Hourglass", "InstallCrashFilter",
                   "CreateThread", "Pointer:Default", kNoEntry, "FreeLibrary"}},
        OrderCase{"WaitTimesOut",
                  [](Engine& e) {
                    e.w.platform.onWaitForSingleObject = [](Handle, uint32_t) { return kWaitTimeout; };
                  },
                  "u",
                  {kLoad, "GetProcAddress:DllUnregisterServer", "Pointer:Hourglass", "InstallCrashFilter",
                   "CreateThread", "WaitKeepingWindowAlive:10000", "Pointer:Default", kTimeOut}},
        OrderCase{"Success", [](Engine&) {}, "",
                  {kLoad, "GetProcAddress:DllRegisterServer", "Pointer:Hourglass", "InstallCrashFilter",
                   "CreateThread", "WaitKeepingWindowAlive:10000", "GetExitCodeThread", "CloseHandle",
                   "FreeLibrary", "Pointer:Default", kCompleted}}),
    [](const ::testing::TestParamInfo<OrderCase>& info) { return info.param.name; });

// The worker starts at the program's own procedure, which runs the export inside
// a COM apartment; the export's result, whatever COM said, is the exit code.
TEST_F(Engine, TheWorkerRunsTheExportInsideCom) {
  // Timed out, so the worker's job is still kept when the test plays the worker.
  w.platform.onWaitForSingleObject = [](Handle, uint32_t ms) { return ms ? kWaitTimeout : kWaitObject0; };
  Registered(Action::Unregister);
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

// The wait's result reaches the window's status value, whatever it was.
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
    EXPECT_EQ(w.log.WithPrefix("WaitKeepingWindowAlive:10000").size(), 1u);
    EXPECT_EQ(FormProbe::ApiResult(w.form), std::optional<int64_t>(result));
  }
}

// Only the whole, exact text chooses.
TEST(Commands, OnlyTheWholeExactTextChoosesAnAction) {
  EXPECT_EQ(ActionFor(""), Action::Register);
  EXPECT_EQ(ActionFor("U"), Action::Unregister);
  EXPECT_EQ(ActionFor("u"), Action::Unregister);
  for (const char* refused : {"R", "r", " ", "u ", " u", "unregister", "UU"})
    EXPECT_EQ(ActionFor(refused), std::nullopt) << '"' << refused << '"';
  EXPECT_STREQ(ExportName(Action::Register), "DllRegisterServer");
  EXPECT_STREQ(ExportName(Action::Unregister), "DllUnregisterServer");
}

// The worker's exit code is the export's HRESULT: the outcome carries the
// code, the system's words for it and whether to advise administrator rights.
struct ExitCase {
  uint32_t code;
  const char* description;  // what the system has for it, null for nothing
  int32_t admin;            // the shell's administrator test
  Kind kind;
  std::string codeDescription;
  bool rightsAdvice;
};
void PrintTo(const ExitCase& c, std::ostream* os) { *os << "0x" << std::hex << c.code; }

class ExitCodes : public Engine, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(ExitCodes, BecomeTheOutcomeOnceEverythingIsReleased) {
  const ExitCase& c = GetParam();
  w.platform.isUserAnAdmin = c.admin;
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

  const Outcome outcome = Registered();

  EXPECT_EQ(outcome.kind, c.kind);
  EXPECT_EQ(outcome.codeDescription, c.codeDescription);
  EXPECT_EQ(outcome.rightsAdvice, c.rightsAdvice);
  EXPECT_EQ(w.platform.freedModules, std::vector<Module>{kModule});
  EXPECT_EQ(w.platform.closedHandles, std::vector<Handle>{kThread});
  if (c.kind == Kind::ExportFailed) {
    EXPECT_EQ(outcome.code, c.code);
    EXPECT_EQ(described, std::vector<uint32_t>{c.code});
    EXPECT_EQ(w.log.WithPrefix("FormatMessageA:"), std::vector<std::string>{"FormatMessageA:4608"});
  } else {
    EXPECT_TRUE(described.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ExitCodes,
    ::testing::Values(
        ExitCase{0, nullptr, 0, Kind::Completed, "", false},                      // S_OK
        ExitCase{1, "Incorrect function.\r\n", 0, Kind::Completed, "", false},    // S_FALSE
        ExitCase{0x7FFFFFFF, nullptr, 0, Kind::Completed, "", false},
        // Access refused, for a user whom the administrator test says no.
        ExitCase{0x80070005, "Access is denied.\r\n", 0, Kind::ExportFailed, "Access is denied.", true},
        ExitCase{0x8002801C, nullptr, 0, Kind::ExportFailed, "", true},
        // An administrator is not told to become one.
        ExitCase{0x80040151, nullptr, 1, Kind::ExportFailed, "", false},
        ExitCase{0x800a01ad, "ActiveX component can't create object \r\n \r\n", 0, Kind::ExportFailed,
                 "ActiveX component can't create object", false},
        ExitCase{0x80000000, " \r\n", 0, Kind::ExportFailed, "", false}));

TEST_F(Engine, AnExitCodeThatCannotBeReadCountsAsCompleted) {
  w.platform.onGetExitCodeThread = [](Handle, uint32_t* code) {
    *code = 0x80070005;
    return 0;
  };
  EXPECT_EQ(Registered().kind, Kind::Completed);
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

  Outcome outcome = Registered();
  EXPECT_EQ(outcome.kind, Kind::LoadFailed);
  EXPECT_EQ(outcome.diagnosis.kind, LoadDiagnosis::Kind::MissingDependency);
  EXPECT_EQ(outcome.diagnosis.chain, (std::vector<std::string>{"a.dll", "b.dll"}));
  EXPECT_EQ(busy, 0);

  existing.insert("C:\\quoted dir\\b.dll");  // found on PATH: nothing is missing after all
  outcome = Registered();
  EXPECT_EQ(outcome.diagnosis.kind, LoadDiagnosis::Kind::LoaderError);
  EXPECT_EQ(outcome.diagnosis.error, kErrorModNotFound);

  existing.erase("C:\\work\\a.dll");
  EXPECT_EQ(Registered().diagnosis.chain, std::vector<std::string>{"a.dll"});
}

// A fault ends the worker; the control's library stays loaded, since its state is unknown.
TEST_F(Engine, ACrashIsKeptWithWhereItHappenedAndItsLibraryStaysLoaded) {
  w.platform.onCreateThread = [](void*, size_t, ThreadProc, void*, uint32_t, uint32_t* id) {
    *id = 7;
    return kThread;
  };
  w.platform.crashes[7] = CrashRecord{0xC0000005, 0x10001010, "acc_crash.ocx", 0x1010};
  const Outcome outcome = Registered(Action::Unregister);
  EXPECT_EQ(outcome.kind, Kind::Crashed);
  EXPECT_EQ(outcome.crash.module, "acc_crash.ocx");
  EXPECT_EQ(outcome.crash.offset, 0x1010u);
  EXPECT_TRUE(w.platform.freedModules.empty());
  EXPECT_EQ(w.platform.closedHandles, std::vector<Handle>{kThread});
}

// The loader gets the file the workflow found here, by its absolute path.
struct PathCase {
  const char* name;
  std::string fileSpec;
  std::function<void(Engine&)> script;
  std::string loaded;  // the LoadLibraryExA entry
};
void PrintTo(const PathCase& c, std::ostream* os) { *os << c.name; }

class LoadPath : public Engine, public ::testing::WithParamInterface<PathCase> {};

TEST_P(LoadPath, TheCheckedFileIsLoadedByItsFullPath) {
  GetParam().script(*this);
  Registered(Action::Register, GetParam().fileSpec);
  EXPECT_EQ(w.log.WithPrefix("LoadLibraryExA:"), std::vector<std::string>{GetParam().loaded});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadPath,
    ::testing::Values(
        PathCase{"BareNameHere", "server.ocx", [](Engine&) {}, kLoad},
        PathCase{"RelativePath", "sub\\x.ocx", [](Engine& e) { e.existing = {"C:\\work\\sub\\x.ocx"}; },
                 "LoadLibraryExA:C:\\work\\sub\\x.ocx|8"},
        // Absent here or a folder: the loader's own rules, which then fail.
        PathCase{"NotHere", "other.ocx", [](Engine&) {}, "LoadLibraryExA:other.ocx|0"},
        PathCase{"Directory", "server.ocx",
                 [](Engine& e) {
                   e.w.platform.onGetFileAttributesA = [](const char*) { return kFileAttributeDirectory; };
                 },
                 "LoadLibraryExA:server.ocx|0"},
        PathCase{"NoFullPath", "server.ocx",
                 [](Engine& e) {
                   e.w.platform.onGetFullPathNameA = [](const char*, uint32_t, char*, char**) -> uint32_t {
                     return 0;
                   };
                 },
                 "LoadLibraryExA:server.ocx|0"},
        PathCase{"LongerThanTheFirstBuffer", std::string(300, 'a') + ".ocx",
                 [](Engine& e) { e.existing = {std::string(kCurrentDirectory) + std::string(300, 'a') + ".ocx"}; },
                 "LoadLibraryExA:C:\\work\\" + std::string(300, 'a') + ".ocx|8"}),
    [](const ::testing::TestParamInfo<PathCase>& info) { return info.param.name; });

// Every step is guarded: a failing one is skipped and the run still ends in an outcome.
struct ThrowCase {
  const char* name;
  std::function<void(FakePlatform&)> breakStep;
  Kind kind;
  size_t freed;
  size_t running;
};
void PrintTo(const ThrowCase& c, std::ostream* os) { *os << c.name; }

class FailingSteps : public Engine, public ::testing::WithParamInterface<ThrowCase> {};

[[noreturn]] void Raise() { throw ToolkitError("Automation error"); }

TEST_P(FailingSteps, AreSkippedAndNothingReachesTheCaller) {
  GetParam().breakStep(w.platform);
  Outcome outcome;
  EXPECT_NO_THROW(outcome = Registered());
  outcome.library.reset();  // as once told
  EXPECT_EQ(outcome.kind, GetParam().kind);
  EXPECT_EQ(w.platform.freedModules.size(), GetParam().freed);
  EXPECT_EQ(registrar.RunningCount(), GetParam().running);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FailingSteps,
    ::testing::Values(
        ThrowCase{"Load", [](FakePlatform& p) { p.onLoadLibraryExA = [](const char*, Handle, uint32_t) -> Module { Raise(); }; },
                  Kind::LoadFailed, 0, 0},
        ThrowCase{"Lookup", [](FakePlatform& p) { p.onGetProcAddress = [](Module, const char*) -> Proc { Raise(); }; },
                  Kind::NoEntryPoint, 1, 0},
        ThrowCase{"Thread",
                  [](FakePlatform& p) {
                    p.onCreateThread = [](void*, size_t, ThreadProc, void*, uint32_t, uint32_t*) -> Handle { Raise(); };
                  },
                  Kind::NoEntryPoint, 1, 0},
        // A wait that did not answer cannot say the worker ended.
        ThrowCase{"Wait", [](FakePlatform& p) { p.onWaitForSingleObject = [](Handle, uint32_t) -> uint32_t { Raise(); }; },
                  Kind::TimedOut, 0, 1},
        ThrowCase{"ExitCode", [](FakePlatform& p) { p.onGetExitCodeThread = [](Handle, uint32_t*) -> int32_t { Raise(); }; },
                  Kind::Completed, 1, 0},
        ThrowCase{"Description",
                  [](FakePlatform& p) {
                    p.onGetExitCodeThread = [](Handle, uint32_t* code) { *code = 0x80004005; return 1; };
                    p.onFormatMessageA = [](uint32_t, char*, uint32_t) -> uint32_t { Raise(); };
                  },
                  Kind::ExportFailed, 1, 0}),
    [](const ::testing::TestParamInfo<ThrowCase>& info) { return info.param.name; });

TEST_F(Engine, AFailingMessageBoxOrPointerDoesNotEscape) {
  w.toolkit.onMsgBox = [](const std::string&) { Raise(); };
  EXPECT_NO_THROW(Run());
  EXPECT_EQ(w.platform.freedModules.size(), 1u);
  EXPECT_EQ(w.platform.closedHandles.size(), 1u);
}

TEST_F(Engine, TwoRunsInARowEachLoadAndReleaseBeforeTheirMessage) {
  Run();
  Run();
  std::vector<std::string> releases;
  for (const std::string& entry : Steps())
    if (entry == "FreeLibrary" || entry == kCompleted || entry.rfind("LoadLibraryExA:", 0) == 0)
      releases.push_back(entry);
  EXPECT_EQ(releases, (std::vector<std::string>{kLoad, "FreeLibrary", kCompleted, kLoad, "FreeLibrary", kCompleted}));
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
  // The registrar outlives this fixture's members, and its destructor still asks.
  ~TimedOut() override { w.platform.onWaitForSingleObject = nullptr; }

  static Module ModuleOf(int load) { return reinterpret_cast<Module>(0x5000 + 0x1000 * load); }
  static Handle ThreadOf(int thread) { return reinterpret_cast<Handle>(0x70 + thread); }

  int loads = 0;
  int threads = 0;
  bool hangs = true;
  std::set<Handle> ended;
};

TEST_F(TimedOut, NothingIsReleasedWhileTheWorkerMayRun) {
  EXPECT_EQ(Registered().kind, Kind::TimedOut);
  EXPECT_TRUE(w.platform.freedModules.empty());
  EXPECT_TRUE(w.platform.closedHandles.empty());
  EXPECT_EQ(registrar.RunningCount(), 1u);

  // The next run looks without waiting, and the still running worker keeps its library.
  hangs = false;
  w.log.Clear();
  Registered();
  EXPECT_EQ(w.log.entries.front(), "WaitForSingleObject:0");
  EXPECT_EQ(w.platform.freedModules, std::vector<Module>{ModuleOf(2)});
  EXPECT_EQ(w.platform.closedHandles, std::vector<Handle>{ThreadOf(2)});
  EXPECT_EQ(registrar.RunningCount(), 1u);
}

TEST_F(TimedOut, AnEndedWorkerIsReleasedWhenTheNextRegistrationStarts) {
  Registered();
  ended.insert(ThreadOf(1));
  hangs = false;
  w.log.Clear();
  EXPECT_EQ(Registered().kind, Kind::Completed);
  // Thread handle, then library, before the new load.
  const std::vector<std::string> head(w.log.entries.begin(), w.log.entries.begin() + 4);
  EXPECT_EQ(head, (std::vector<std::string>{"WaitForSingleObject:0", "GetExitCodeThread", "CloseHandle", "FreeLibrary"}));
  ASSERT_EQ(registrar.TakeLate().size(), 1u);
  EXPECT_TRUE(registrar.TakeLate().empty());
  EXPECT_EQ(w.platform.freedModules, (std::vector<Module>{ModuleOf(1), ModuleOf(2)}));
  EXPECT_EQ(w.platform.closedHandles, (std::vector<Handle>{ThreadOf(1), ThreadOf(2)}));
  EXPECT_EQ(registrar.RunningCount(), 0u);
}

TEST_F(TimedOut, OnlyTheOneWaitEverBlocks) {
  for (int i = 0; i < 3; ++i) Registered();
  ended.insert(ThreadOf(2));
  Registered();
  for (const std::string& wait : w.log.WithPrefix("WaitForSingleObject:"))
    EXPECT_EQ(wait, "WaitForSingleObject:0");  // a look, never a wait
  EXPECT_EQ(w.log.WithPrefix("WaitKeepingWindowAlive:10000").size(), 4u);
  EXPECT_EQ(w.platform.freedModules, std::vector<Module>{ModuleOf(2)});
  EXPECT_EQ(registrar.RunningCount(), 3u);
}

TEST_F(TimedOut, ClosingLeavesARunningWorkersLibraryLoaded) {
  {
    Registrar closing(w.platform);
    closing.Run(kFile, Action::Register, [] {});
    closing.Run(kFile, Action::Register, [] {});
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
    busy = 0;
  }

  static constexpr char kTool[] = "C:\\WINDOWS\\SysWOW64\\regsvr32.exe";
  const Handle kProcess = reinterpret_cast<Handle>(0x90);
  const Handle kProcessThread = reinterpret_cast<Handle>(0x94);
  uint32_t toolExitCode = 0;
};

TEST_F(HandOver, TheToolRunsSilentlyUnderTheSameLimitAndItsCodeIsTheOutcome) {
  for (uint32_t code : {0u, 3u, 5u, 0xC0000005u}) {
    toolExitCode = code;
    Reset();
    const Outcome outcome = Registered(Action::Unregister);
    EXPECT_EQ(outcome.kind, Kind::HandedOver);
    EXPECT_EQ(outcome.code, code);
    EXPECT_EQ(busy, 1);
    EXPECT_EQ(Steps(),
              (std::vector<std::string>{
                  kLoad,
                  "CreateProcessA:\"C:\\WINDOWS\\SysWOW64\\regsvr32.exe\" /s /u \"C:\\work\\server.ocx\"|134217728",
                  "CloseHandle", "WaitKeepingWindowAlive:10000", "GetExitCodeProcess", "CloseHandle"}))
        << code;
  }
  // Through the window, the hourglass stands while the tool runs.
  Reset();
  toolExitCode = kToolLoadFailed;
  Run();
  EXPECT_EQ(w.log.WithPrefix("CreateProcessA:"),
            std::vector<std::string>{"CreateProcessA:\"C:\\WINDOWS\\SysWOW64\\regsvr32.exe\" /s "
                                     "\"C:\\work\\server.ocx\"|134217728"});
  EXPECT_LT(w.log.Find("Pointer:Hourglass"), w.log.FindPrefix("CreateProcessA:"));
  EXPECT_LT(w.log.Find("GetExitCodeProcess"), w.log.Find("Pointer:Default"));
  EXPECT_EQ(w.toolkit.messages, std::vector<std::string>{"Failure loading control DLL"});
}

TEST_F(HandOver, AToolStillRunningAtTheLimitIsKeptUntilItEnds) {
  bool ended = false;
  w.platform.onWaitForSingleObject = [&](Handle, uint32_t ms) { return ms == 0 && ended ? kWaitObject0 : kWaitTimeout; };
  EXPECT_EQ(Registered().kind, Kind::TimedOut);
  EXPECT_EQ(w.platform.closedHandles, std::vector<Handle>{kProcessThread});
  EXPECT_EQ(registrar.RunningCount(), 1u);
  ended = true;
  registrar.ReleaseEnded();
  EXPECT_EQ(w.platform.closedHandles, (std::vector<Handle>{kProcessThread, kProcess}));
  EXPECT_TRUE(w.platform.freedModules.empty());
  w.platform.onWaitForSingleObject = nullptr;
}

// Anything else stays a load failure, and says why.
TEST_F(HandOver, OnlyALibraryOfTheOtherArchitectureWithAToolToTakeIt) {
  struct Refusal {
    const char* name;
    std::function<void(HandOver&)> script;
    LoadDiagnosis::Kind kind;
    uint16_t machine;
  };
  const auto bytes = [](std::string image) {
    return [image](HandOver& h) { h.w.platform.fileBytes[kFullPath] = image; };
  };
  using D = LoadDiagnosis::Kind;
  const std::vector<Refusal> refusals = {
      {"own architecture", bytes(PeImageBytes(kMachineAmd64, {}, true)), D::LoaderError, 0},
      {"ARM64", bytes(PeImageBytes(kMachineArm64, {}, true)), D::OtherProcessor, kMachineArm64},
      {"not a library", bytes("just text"), D::NotALibrary, 0},
      {"cut short", bytes(PeImageBytes(kMachineI386).substr(0, 0x50)), D::NotALibrary, 0},
      {"32-bit system", [](HandOver& h) { h.w.platform.wow64Directory.clear(); }, D::OtherProcessor, kMachineI386},
      {"no tool there", [](HandOver& h) { h.existing.erase(kTool); }, D::OtherProcessor, kMachineI386}};
  for (const Refusal& r : refusals) {
    Reset();
    r.script(*this);
    const Outcome outcome = Registered();
    EXPECT_EQ(outcome.kind, Kind::LoadFailed) << r.name;
    EXPECT_EQ(outcome.diagnosis.kind, r.kind) << r.name;
    EXPECT_EQ(outcome.diagnosis.machine, r.machine) << r.name;
    EXPECT_EQ(busy, 0) << r.name;
    EXPECT_TRUE(w.log.WithPrefix("CreateProcessA:").empty()) << r.name;
  }
  Reset();
  w.platform.onCreateProcessA = [](const char*, char*, uint32_t, ProcessInformation*) { return 0; };
  EXPECT_EQ(Registered().kind, Kind::NoEntryPoint);
}

// From the 32-bit program the native tool sits behind the Sysnative alias.
TEST_F(HandOver, TheThirtyTwoBitProgramHandsX64LibrariesToTheNativeTool) {
  existing.insert("C:\\WINDOWS\\Sysnative\\regsvr32.exe");
  EXPECT_EQ(OtherArchitectureTool(w.platform, kMachineAmd64, false), "C:\\WINDOWS\\Sysnative\\regsvr32.exe");
  EXPECT_EQ(OtherArchitectureTool(w.platform, kMachineI386, false), "");
  EXPECT_EQ(OtherArchitectureTool(w.platform, kMachineI386, true), kTool);
  EXPECT_EQ(OtherArchitectureTool(w.platform, kMachineAmd64, true), "");
}

}  // namespace
}  // namespace ravlin
