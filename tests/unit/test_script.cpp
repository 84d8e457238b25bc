#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>

#include "Fakes.h"
#include "FormProbe.h"

namespace ravlin {
namespace {

constexpr char kAppPath[] = "C:\\Users\\ann\\Tools\\Ravlin";
constexpr char kRegister[] = "C:\\Users\\ann\\Tools\\Ravlin\\register.bat";
constexpr char kUnregister[] = "C:\\Users\\ann\\Tools\\Ravlin\\unregister.bat";

struct Launch {
  Hwnd owner;
  std::string verb;
  std::string file;
  std::string parameters;
  bool noDirectory;
  int show;
};

class Script : public ::testing::Test {
 protected:
  Script() {
    FormProbe::CrLf(w.form) = "\r\n";  // as start-up leaves it
    w.toolkit.appPath = kAppPath;
    w.platform.onShellExecuteEx = [this](Hwnd owner, const char* verb, const char* file, const char* parameters,
                                         const char* directory, int show, Handle*) {
      launches.push_back({owner, verb ? verb : "(null)", file ? file : "(null)",
                          parameters ? parameters : "(null)", directory == nullptr, show});
      return 1;
    };
  }

  FakeWindow w;
  std::vector<Launch> launches;
};

struct ScriptCase {
  int16_t index;
  uint16_t architecture;
  const char* path;
  const char* bytes;  // the toolkit's print ends the last line
};
void PrintTo(const ScriptCase& c, std::ostream* os) { *os << "Command1(" << c.index << ") on " << c.architecture; }

class ScriptBytes : public Script, public ::testing::WithParamInterface<ScriptCase> {};

TEST_P(ScriptBytes, WritesTheScriptNextToTheProgramAndRunsItElevated) {
  const ScriptCase& c = GetParam();
  w.platform.architecture = c.architecture;

  w.form.Command1_Click(c.index);

  ASSERT_EQ(w.toolkit.files.size(), 1u);
  ASSERT_EQ(w.toolkit.files.count(c.path), 1u);
  EXPECT_EQ(w.toolkit.files.at(c.path), c.bytes);
  EXPECT_EQ(w.toolkit.OpenFiles(), 0u);
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].owner, nullptr);
  EXPECT_EQ(launches[0].verb, "runas");
  EXPECT_EQ(launches[0].file, c.path);
  EXPECT_EQ(launches[0].parameters, "/admin");
  EXPECT_TRUE(launches[0].noDirectory);
  EXPECT_EQ(launches[0].show, 1);
  EXPECT_TRUE(w.toolkit.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    BothIndexesBothMachines, ScriptBytes,
    ::testing::Values(
        ScriptCase{1, kArchitectureAmd64, kRegister,
                   "cd C:\\Windows\\SysWOW64\r\nregsvr32 RICHTX32.OCX\r\npause\r\n"},
        ScriptCase{1, kArchitectureIntel, kRegister,
                   "cd C:\\Windows\\System32\r\nregsvr32 RICHTX32.OCX\r\npause\r\n"},
        ScriptCase{0, kArchitectureAmd64, kUnregister,
                   "cd C:\\Windows\\SysWOW64\r\nregsvr32 /u RICHTX32.OCX\r\npause\r\n"},
        ScriptCase{0, kArchitectureIntel, kUnregister,
                   "cd C:\\Windows\\System32\r\nregsvr32 /u RICHTX32.OCX\r\npause\r\n"},
        // Any index but 0 registers; an Itanium counts as 64-bit, an ARM64 does not.
        ScriptCase{-1, kArchitectureIa64, kRegister,
                   "cd C:\\Windows\\SysWOW64\r\nregsvr32 RICHTX32.OCX\r\npause\r\n"},
        ScriptCase{0, kArchitectureArm64, kUnregister,
                   "cd C:\\Windows\\System32\r\nregsvr32 /u RICHTX32.OCX\r\npause\r\n"}));

struct AdminCase {
  int32_t answer;
  bool advised;
};
void PrintTo(const AdminCase& c, std::ostream* os) { *os << "answer " << c.answer; }

class AdviceBox : public Script, public ::testing::WithParamInterface<AdminCase> {};

TEST_P(AdviceBox, OnlyForAnAdministratorAndBeforeTheScriptIsWritten) {
  w.platform.isUserAnAdmin = GetParam().answer;

  w.form.Command1_Click(1);

  const std::string advice = std::string("If not successful then \r\n\r\nrightclick on '") +
                             kRegister + "\r\n\r\n and select 'Run as Adminstrator'";
  if (GetParam().advised) {
    ASSERT_EQ(w.toolkit.messages, std::vector<std::string>{advice});
    const int box = w.log.Find("MsgBox:" + advice);
    EXPECT_LT(box, w.log.Find("DoEvents"));
    EXPECT_LT(box, w.log.FindPrefix("OpenForOutput:"));
  } else {
    EXPECT_TRUE(w.toolkit.messages.empty());
  }
  EXPECT_LT(w.log.Find("IsUserAnAdmin"), w.log.Find("GetNativeSystemInfo"));
  EXPECT_EQ(launches.size(), 1u);
}

// Only the low 16 bits of the shell's answer count.
INSTANTIATE_TEST_SUITE_P(LowWord, AdviceBox,
                         ::testing::Values(AdminCase{0, false}, AdminCase{1, true},
                                           AdminCase{-1, true}, AdminCase{0x10000, false},
                                           AdminCase{0x10001, true},
                                           AdminCase{static_cast<int32_t>(0xFFFF0000u), false}));

TEST_F(Script, AdviceNamesTheUnregisterScriptForIndexZero) {
  w.platform.isUserAnAdmin = 1;
  w.form.Command1_Click(0);
  ASSERT_EQ(w.toolkit.messages.size(), 1u);
  EXPECT_NE(w.toolkit.messages[0].find(std::string("'") + kUnregister + "\r\n"), std::string::npos);
}

TEST_F(Script, EachClickReplacesItsOwnScriptAndLeavesTheOtherAlone) {
  w.platform.architecture = kArchitectureAmd64;
  w.form.Command1_Click(1);
  w.platform.architecture = kArchitectureIntel;
  w.toolkit.files[kRegister] += "left over from an older script\r\n";  // must not survive
  w.form.Command1_Click(1);
  EXPECT_EQ(w.toolkit.files.at(kRegister),
            "cd C:\\Windows\\System32\r\nregsvr32 RICHTX32.OCX\r\npause\r\n");

  w.form.Command1_Click(0);
  EXPECT_EQ(w.toolkit.files.at(kRegister),
            "cd C:\\Windows\\System32\r\nregsvr32 RICHTX32.OCX\r\npause\r\n");
  EXPECT_EQ(w.toolkit.files.at(kUnregister),
            "cd C:\\Windows\\System32\r\nregsvr32 /u RICHTX32.OCX\r\npause\r\n");
  ASSERT_EQ(launches.size(), 3u);
  EXPECT_EQ(launches[2].file, kUnregister);
}

TEST_F(Script, ScriptPathIsPlainConcatenation) {
  w.toolkit.appPath = "D:\\";  // a root already ends in a separator; one more is added anyway
  w.form.Command1_Click(1);
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].file, "D:\\\\register.bat");
  EXPECT_EQ(w.toolkit.files.count("D:\\\\register.bat"), 1u);
}

TEST_F(Script, ParametersAreTheArgumentsFollowedDirectlyByAdmin) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "/admin"}, {"a b", "a b/admin"}, {"\"x y\" /q ", "\"x y\" /q /admin"}};
  for (const auto& [arguments, parameters] : cases) {
    launches.clear();
    w.toolkit.command = arguments;
    w.form.Command1_Click(1);
    ASSERT_EQ(launches.size(), 1u) << arguments;
    EXPECT_EQ(launches[0].parameters, parameters) << arguments;
  }
}

TEST_F(Script, EventsRunTwiceBeforeOpeningOnceAfterClosingAndTwiceBeforeTheLaunch) {
  w.form.Command1_Click(1);

  std::vector<std::string> steps;
  for (const std::string& e : w.log.entries)
    if (e == "DoEvents" || e.rfind("OpenForOutput:", 0) == 0 || e == "Print" || e == "Close" ||
        e == "ShellExecuteExA")
      steps.push_back(e);
  EXPECT_EQ(steps, (std::vector<std::string>{"DoEvents", "DoEvents",
                                             std::string("OpenForOutput:") + kRegister, "Print",
                                             "Close", "DoEvents", "DoEvents", "DoEvents",
                                             "ShellExecuteExA"}));
}

TEST_F(Script, AScriptThatCannotBeWrittenIsReportedOnceAndNotLaunched) {
  w.toolkit.failOpen[kRegister] = "Permission denied";

  w.form.Command1_Click(1);

  EXPECT_EQ(w.toolkit.messages, std::vector<std::string>{std::string(kRegister) + " Permission denied"});
  EXPECT_TRUE(launches.empty());
  EXPECT_EQ(w.log.Find("ShellExecuteExA"), -1);
  EXPECT_EQ(w.toolkit.files.count(kRegister), 0u);
  EXPECT_EQ(w.toolkit.OpenFiles(), 0u);
}

TEST_F(Script, AFailingAdministratorTestIsNotTrappedAndNothingIsWritten) {
  w.platform.onIsUserAnAdmin = []() -> int32_t { throw std::runtime_error("Entry point not found"); };
  EXPECT_THROW(w.form.Command1_Click(1), std::runtime_error);
  EXPECT_EQ(w.log.FindPrefix("OpenForOutput:"), -1);
  EXPECT_TRUE(launches.empty());
}

// Savetext on its own.

TEST_F(Script, SavetextReplacesTheFileAndSaysSo) {
  w.toolkit.files["out.txt"] = "a much longer old content that must go entirely";
  EXPECT_TRUE(w.form.Savetext("out.txt", "new"));
  EXPECT_EQ(w.toolkit.files.at("out.txt"), "new\r\n");
  EXPECT_TRUE(w.toolkit.messages.empty());
}

TEST_F(Script, SavetextReportsEachFailingStepOnceClosesAndCarriesOn) {
  struct Case {
    const char* name;
    std::function<void(FakeWindow&, const std::string&)> arrange;
    const char* description;
  };
  const std::string path = "..\\no such dir\\ x.bat ";  // passed on untouched
  const Case cases[] = {
      {"no free number",
       [](FakeWindow& f, const std::string&) {
         f.toolkit.onFreeFile = [] { throw ToolkitError("Too many files"); };
       },
       "Too many files"},
      {"open fails",
       [](FakeWindow& f, const std::string& p) { f.toolkit.failOpen[p] = "Path not found"; },
       "Path not found"},
  };
  for (const Case& c : cases) {
    FakeWindow f;
    c.arrange(f, path);

    EXPECT_FALSE(f.form.Savetext(path, "text")) << c.name;

    EXPECT_EQ(f.toolkit.messages, std::vector<std::string>{path + " " + c.description}) << c.name;
    EXPECT_EQ(f.toolkit.files.count(path), 0u) << c.name;
    // The box, then the close, then one more round of events.
    const int box = f.log.FindPrefix("MsgBox:");
    ASSERT_GE(box, 0) << c.name;
    ASSERT_EQ(f.log.entries.size(), static_cast<size_t>(box) + 3) << c.name;
    EXPECT_EQ(f.log.entries[static_cast<size_t>(box) + 1], "Close") << c.name;
    EXPECT_EQ(f.log.entries[static_cast<size_t>(box) + 2], "DoEvents") << c.name;
    EXPECT_EQ(f.log.WithPrefix("DoEvents").size(), 3u) << c.name;
  }
}

}  // namespace
}  // namespace ravlin
