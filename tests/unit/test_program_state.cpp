// Where a program's controls are and what the window makes of them: one
// control's state for each registry and folder it may be found in, which
// controls a run acts on, the lines and message, and the run in the window
// where the fake reaches what Wine cannot (a failing control mid-run, the
// caption while each one runs).
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
constexpr char kClass[] = "{0B0A0908-0D0C-0F0E-1011-121314151617}";
constexpr vb::Guid kGuid = {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23};
constexpr vb::Guid kFirstGuid = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

std::string FirstLine(const std::string& text) { return text.substr(0, text.find("\r\n")); }

uint32_t FullPathItself(const char* name, uint32_t size, char* buffer, char**) {
  const size_t length = std::strlen(name);
  if (length + 1 > size) return static_cast<uint32_t>(length + 1);
  std::memcpy(buffer, name, length + 1);
  return static_cast<uint32_t>(length);
}

// The program's bytes and the files that are there, by exact path.
void Serve(FakePlatform& platform, const std::string& bytes, const std::set<std::string>& files) {
  platform.fileBytes[kProgram] = bytes;
  platform.onGetFileAttributesA = [files](const char* path) {
    return files.count(path) || std::strcmp(path, kProgram) == 0 ? 0x20u : kInvalidFileAttributes;
  };
  platform.onGetFullPathNameA = &FullPathItself;
}

std::string ServerKey(const char* root, const char* clsid = kClass) {
  return std::string(root) + "\\Software\\Classes\\CLSID\\" + clsid + "\\InprocServer32";
}

struct StateCase {
  const char* name;
  std::string userValue, machineValue, machine64Value;  // "" when not registered there
  std::set<std::string> files;
  ControlState::Kind kind;
  std::string registeredTo, foundAt;
};

TEST(ProgramState, EachControlIsRegisteredFoundOrNowhereAsTheRegistryAndFoldersSay) {
  using K = ControlState::Kind;
  const StateCase cases[] = {
      {"registered per-user", kBeside, "", "", {kBeside}, K::Registered, kBeside, ""},
      {"per-user before the machine's", kGone, kBeside, "", {kBeside}, K::MissingCopy, kGone, kBeside},
      {"system32 as the 32-bit loader reads it", "", "C:\\WINDOWS\\system32\\my.ocx", "", {kShared},
       K::Registered, kShared, ""},
      {"a missing copy, and nowhere else", "", kGone, "", {}, K::MissingCopy, kGone, ""},
      {"not registered, beside the program", "", "", "", {kBeside}, K::Found, "", kBeside},
      {"not registered, in the system folder", "", "", "", {kShared}, K::Found, "", kShared},
      {"beside the program before the system folder", "", "", "", {kBeside, kShared}, K::Found, "", kBeside},
      {"registered only in the 64-bit view", "", "", kBeside, {}, K::NotFound, "", ""},
      {"nowhere", "", "", "", {}, K::NotFound, "", ""},
  };
  for (const StateCase& c : cases) {
    CallLog log;
    FakePlatform platform(log);
    Serve(platform, vb::Program({vb::Entry(kGuid, "my.ocx", "My.Control")}), c.files);
    if (!c.userValue.empty()) platform.SetRegistryValue(false, ServerKey("HKCU"), "", c.userValue);
    if (!c.machineValue.empty()) platform.SetRegistryValue(false, ServerKey("HKLM"), "", c.machineValue);
    if (!c.machine64Value.empty()) platform.SetRegistryValue(true, ServerKey("HKLM"), "", c.machine64Value);

    const ProgramState state = ReadProgramState(platform, kProgram);

    ASSERT_EQ(state.controls.size(), 1u) << c.name;
    EXPECT_EQ(state.controls[0].kind, c.kind) << c.name;
    EXPECT_EQ(state.controls[0].registeredTo, c.registeredTo) << c.name;
    EXPECT_EQ(state.controls[0].foundAt, c.foundAt) << c.name;
    EXPECT_EQ(platform.OpenRegistryKeys(), 0u) << c.name;
  }
}

TEST(ProgramState, AFileIsRegisteredWhenAnyOfItsClassesIsAndOtherFilesAreNoProgram) {
  CallLog log;
  FakePlatform platform(log);
  Serve(platform, vb::Program({vb::Entry(kFirstGuid, "my.ocx", "My.First"), vb::Entry(kGuid, "my.ocx", "My.Second")}),
        {kBeside});
  platform.SetRegistryValue(false, ServerKey("HKLM"), "", kBeside);
  const ProgramState state = ReadProgramState(platform, kProgram);
  EXPECT_EQ(state.kind, ProgramControls::Kind::Read);
  ASSERT_EQ(state.controls.size(), 1u);
  EXPECT_EQ(state.controls[0].kind, ControlState::Kind::Registered);
  EXPECT_EQ(state.folder, "C:\\App");
  EXPECT_EQ(state.systemFolder, "C:\\WINDOWS\\SysWOW64");

  Serve(platform, PeImageBytes(kMachineI386, {"KERNEL32.dll"}), {});
  EXPECT_EQ(ReadProgramState(platform, kProgram).kind, ProgramControls::Kind::NotVisualBasic);
}

ControlState Control(const char* file, ControlState::Kind kind, std::string registeredTo, std::string foundAt) {
  return {{file, {{kClass, "My.Control"}}}, kind, std::move(registeredTo), std::move(foundAt)};
}

ProgramState Program(std::vector<ControlState> controls) {
  return {ProgramControls::Kind::Read, kProgram, "C:\\App", "C:\\WINDOWS\\SysWOW64", std::move(controls)};
}

TEST(ProgramRun, RegisteringTakesWhatIsThereUnregisteringOnlyWhatIsTheProgramsOwn) {
  using K = ControlState::Kind;
  struct Case {
    ControlState control;
    bool registers, unregisters;
  };
  const Case cases[] = {
      {Control("my.ocx", K::Registered, kBeside, ""), false, true},
      {Control("my.ocx", K::Registered, kShared, ""), false, false},
      {Control("my.ocx", K::Registered, "C:\\Other\\my.ocx", ""), false, false},
      {Control("my.ocx", K::MissingCopy, kGone, kBeside), true, false},
      {Control("my.ocx", K::MissingCopy, kGone, ""), false, false},
      {Control("my.ocx", K::Found, "", kShared), true, false},
      {Control("my.ocx", K::NotFound, "", ""), false, false},
  };
  const ProgramState program = Program({});
  for (const Case& c : cases) {
    EXPECT_EQ(Acts(Action::Register, program, c.control), c.registers) << ControlLine(program, c.control);
    EXPECT_EQ(Acts(Action::Unregister, program, c.control), c.unregisters) << ControlLine(program, c.control);
  }
}

TEST(ProgramTexts, EachStateOnItsLine) {
  using K = ControlState::Kind;
  const ProgramState program = Program({});
  EXPECT_EQ(ControlLine(program, Control("my.ocx", K::MissingCopy, kGone, "")),
            "my.ocx: registered to a missing copy, C:\\Gone\\my.ocx");
  EXPECT_EQ(ControlLine(program, Control("my.ocx", K::MissingCopy, kGone, kShared)),
            "my.ocx: registered to a missing copy, C:\\Gone\\my.ocx; found in the system folder");
  EXPECT_EQ(ControlLine(program, Control("my.ocx", K::Found, "", "D:\\Designers\\my.ocx")),
            "my.ocx: not registered, found D:\\Designers\\my.ocx");
}

TEST(ProgramTexts, ARunThatDidNothingOrFailedSaysSo) {
  ProgramRun run;
  run.controls.push_back({Control("gone.ocx", ControlState::Kind::NotFound, "", ""), std::nullopt});
  run.after = Program({run.controls[0].before});
  EXPECT_EQ(FirstLine(ProgramRunMessage(run)), "Nothing to register.");
  run.action = Action::Unregister;
  EXPECT_EQ(FirstLine(ProgramRunMessage(run)), "Nothing to unregister.");

  Outcome failed;
  failed.kind = Outcome::Kind::ExportFailed;
  failed.code = 0x80040201;
  run.controls.clear();
  run.controls.push_back({Control("my.ocx", ControlState::Kind::Registered, kBeside, ""), std::move(failed)});
  run.after = Program({Control("my.ocx", ControlState::Kind::Registered, kBeside, "")});
  EXPECT_EQ(ProgramRunMessage(run),
            "Unregistered 0 of 1 control.\r\n\r\nmy.ocx: Process failed with error code 0x80040201\r\n"
            "    now registered, C:\\App\\my.ocx");
}

void AnyExport() {}

// A started window with a program of two controls beside it, neither registered.
class ProgramWindow : public ::testing::Test {
 public:
  ProgramWindow() {
    w.form.Form_Load();
    w.toolkit.files[kProgram] = "MZ";
    Serve(w.platform,
          vb::Program({vb::Entry(kFirstGuid, "first.ocx", "First.Control"), vb::Entry(kGuid, "my.ocx", "My.Control")}),
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
  std::string damaged = vb::Program({vb::Entry(kGuid, "my.ocx", "My.Control")});
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

}  // namespace
}  // namespace ravlin
