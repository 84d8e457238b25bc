// Where a program's controls are and what the window makes of them, where
// the fake reaches what Wine does not: per-user classes, missing copies, the
// system folder, a control failing mid-run, the caption while each one runs.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "Fakes.h"
#include "VbProgramBuilder.h"
#include "inspection/ProgramState.h"
#include "registration/ProgramRun.h"
#include "texts/ProgramTexts.h"

namespace ravlin {
namespace {

constexpr char kProgram[] = "C:\\App\\old.exe";
constexpr char kBeside[] = "C:\\App\\my.ocx";
constexpr char kShared[] = "C:\\WINDOWS\\SysWOW64\\my.ocx";
constexpr char kGone[] = "C:\\Gone\\my.ocx";
constexpr char kServerKey[] = "\\Software\\Classes\\CLSID\\{0B0A0908-0D0C-0F0E-1011-121314151617}\\InprocServer32";
constexpr vb::Guid kGuid = {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23};
constexpr vb::Guid kFirstGuid = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
const std::string kMine = vb::Entry(kGuid, "my.ocx", "My.Control");

std::string FirstLine(const std::string& text) { return text.substr(0, text.find("\r\n")); }

// The program's bytes, and the files that are there; full paths name themselves.
void Serve(FakePlatform& platform, const std::string& bytes, const std::set<std::string>& files) {
  platform.fileBytes[kProgram] = bytes;
  platform.onGetFileAttributesA = [files](const char* path) {
    return files.count(path) || std::strcmp(path, kProgram) == 0 ? 0x20u : kInvalidFileAttributes;
  };
  platform.onGetFullPathNameA = [](const char* name, uint32_t size, char* buffer, char**) {
    const uint32_t length = static_cast<uint32_t>(std::strlen(name));
    if (length < size) std::memcpy(buffer, name, length + 1);
    return length < size ? length : length + 1;
  };
}

TEST(ProgramState, EachControlIsRegisteredFoundOrNowhereAsTheRegistryAndFoldersSay) {
  using K = ControlState::Kind;
  const struct {
    const char* name;
    std::string user, machine, machine64;  // the class's server in each; "" when none
    std::set<std::string> files;
    K kind;
    std::string registeredTo, foundAt;
  } cases[] = {
      {"registered per-user", kBeside, "", "", {kBeside}, K::Registered, kBeside, ""},
      {"per-user before the machine's", kGone, kBeside, "", {kBeside}, K::MissingCopy, kGone, kBeside},
      {"a missing copy, and nowhere else", "", kGone, "", {}, K::MissingCopy, kGone, ""},
      {"not registered, in the system folder", "", "", "", {kShared}, K::Found, "", kShared},
      {"beside the program before the system folder", "", "", "", {kBeside, kShared}, K::Found, "", kBeside},
      {"registered only in the 64-bit view", "", "", kBeside, {}, K::NotFound, "", ""},
  };
  for (const auto& c : cases) {
    CallLog log;
    FakePlatform platform(log);
    Serve(platform, vb::Program({vb::Entry(kFirstGuid, "my.ocx", "My.Unregistered"), kMine}), c.files);
    if (!c.user.empty()) platform.SetRegistryValue(false, std::string("HKCU") + kServerKey, "", c.user);
    if (!c.machine.empty()) platform.SetRegistryValue(false, std::string("HKLM") + kServerKey, "", c.machine);
    if (!c.machine64.empty()) platform.SetRegistryValue(true, std::string("HKLM") + kServerKey, "", c.machine64);
    const ProgramState state = ReadProgramState(platform, kProgram);
    ASSERT_EQ(state.controls.size(), 1u) << c.name;
    EXPECT_EQ(state.controls[0].kind, c.kind) << c.name;
    EXPECT_EQ(state.controls[0].registeredTo, c.registeredTo) << c.name;
    EXPECT_EQ(state.controls[0].foundAt, c.foundAt) << c.name;
    EXPECT_EQ(platform.OpenRegistryKeys(), 0u) << c.name;
  }
}

ControlState Control(ControlState::Kind kind, std::string registeredTo, std::string foundAt) {
  return {{"my.ocx", {}}, kind, std::move(registeredTo), std::move(foundAt), {}, {}};
}

TEST(ProgramRun, AMissingCopyFoundIsRegisteredHereAndOnlyTheProgramsOwnAreUnregistered) {
  const ProgramState program{ProgramControls::Kind::Read, kProgram, "C:\\App", "C:\\WINDOWS\\SysWOW64", {}, {}, false};
  const ControlState missing = Control(ControlState::Kind::MissingCopy, kGone, kShared);
  EXPECT_TRUE(Acts(Action::Register, program, missing));
  EXPECT_EQ(FileActedOn(Action::Register, missing), kShared);
  EXPECT_EQ(ControlLine(program, missing),
            "my.ocx: registered to a missing copy, C:\\Gone\\my.ocx; found in the system folder");
  EXPECT_FALSE(Acts(Action::Unregister, program, Control(ControlState::Kind::Registered, "D:\\Other\\my.ocx", "")));
  EXPECT_EQ(ControlLine(program, Control(ControlState::Kind::MissingCopy, kGone, "")),
            "my.ocx: registered to a missing copy, C:\\Gone\\my.ocx");
  ProgramRun run;
  EXPECT_EQ(FirstLine(ProgramRunMessage(run)), "Nothing to register.");
  run.action = Action::Unregister;
  EXPECT_EQ(FirstLine(ProgramRunMessage(run)), "Nothing to unregister.");
}

void AnyExport() {}

// A started window with a program of two controls beside it, neither registered.
struct ProgramWindow : ::testing::Test {
  ProgramWindow() {
    w.form.Form_Load();
    w.toolkit.files[kProgram] = "MZ";
    Serve(w.platform, vb::Program({vb::Entry(kFirstGuid, "first.ocx", "First.Control"), kMine}),
          {"C:\\App\\first.ocx", kBeside});
    w.platform.onGetProcAddress = [](Module, const char*) -> Proc { return &AnyExport; };
    w.platform.onCreateThread = [](void*, size_t, ThreadProc, void*, uint32_t, uint32_t*) {
      return reinterpret_cast<Handle>(0x70);
    };
    w.toolkit.messages.clear();
  }
  void Name(const std::string& bytes) {
    w.platform.fileBytes[kProgram] = bytes;
    w.form.text1.TypedText(kProgram);
  }
  FakeWindow w;
};

TEST_F(ProgramWindow, AProgramWithoutControlsOrWithADamagedTableIsToldAndNothingWaitsForProceed) {
  Name(vb::Program({}));
  w.form.cmdRegister_Click();
  std::string damaged = vb::Program({kMine});
  PutU32(damaged, vb::kTableAt, 0);
  Name(damaged);
  w.form.cmdUnregister_Click();
  EXPECT_EQ(w.toolkit.messages, (std::vector<std::string>{text::kNoControls, text::kControlsUnreadable}));
  EXPECT_FALSE(w.form.cmdProceed.Visible());
}

TEST_F(ProgramWindow, EachControlShowsWhileItRunsAndOneThatFailsDoesNotStopTheNext) {
  std::vector<std::string> shownWhileLoading;
  w.platform.onLoadLibraryExA = [this, &shownWhileLoading](const char* file, Handle, uint32_t) -> Module {
    shownWhileLoading.push_back(w.form.lblState.Caption());
    return std::strcmp(file, kBeside) == 0 ? reinterpret_cast<Module>(0x5000) : nullptr;
  };
  w.form.text1.TypedText(kProgram);
  w.form.cmdRegister_Click();
  w.form.cmdProceed_Click();
  EXPECT_EQ(shownWhileLoading, (std::vector<std::string>{"1 of 2: first.ocx", "2 of 2: my.ocx"}));
  ASSERT_EQ(w.toolkit.messages.size(), 2u);
  EXPECT_EQ(FirstLine(w.toolkit.messages[1]), "Registered 1 of 2 controls.");
  EXPECT_NE(w.toolkit.messages[1].find("first.ocx: Failure loading control DLL"), std::string::npos);
  EXPECT_TRUE(w.form.cmdRegister.Visible());
}

// Try it only after a run that changed something. The program's window is
// looked at while it starts; here it never starts.
TEST_F(ProgramWindow, AfterARunTryItStartsTheProgramInItsOwnFolderUntilTheNameChanges) {
  w.form.text1.TypedText(kProgram);
  w.form.cmdRegister_Click();
  w.form.cmdProceed_Click();  // neither loads
  EXPECT_EQ(w.toolkit.messages.back().find(text::kTryItOffer), std::string::npos);
  EXPECT_FALSE(w.form.cmdTryIt.Visible());
  w.platform.onLoadLibraryExA = [](const char*, Handle, uint32_t) { return reinterpret_cast<Module>(0x5000); };
  w.form.cmdRegister_Click();
  w.form.cmdProceed_Click();
  EXPECT_EQ(w.toolkit.messages.back().substr(w.toolkit.messages.back().rfind("\r\n") + 2), text::kTryItOffer);
  ASSERT_TRUE(w.form.cmdTryIt.Visible());
  w.platform.lastError = 2;
  w.form.cmdTryIt_Click();
  EXPECT_EQ(w.log.WithPrefix("CreateProcessInDirectoryA:"),
            std::vector<std::string>{"CreateProcessInDirectoryA:\"C:\\App\\old.exe\"|C:\\App"});
  EXPECT_EQ(w.toolkit.messages.back(), "The program could not be started: (error 2).");
  w.form.text1.TypedText("C:\\App\\other.exe");
  EXPECT_FALSE(w.form.cmdTryIt.Visible());
}

}  // namespace
}  // namespace ravlin
