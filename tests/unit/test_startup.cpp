#include <gtest/gtest.h>

#include <ostream>

#include "Fakes.h"
#include "FormProbe.h"

namespace ravlin {
namespace {

constexpr char kSysWow64Path[] = "c:\\windows\\syswow64\\RICHTX32.OCX";
constexpr char kSystem32Path[] = "c:\\windows\\system32\\RICHTX32.OCX";

std::string NotFoundText(const std::string& directory) {
  return "NOT FOUND: " + directory + "\\RICHTX32.OCX\r\n\r\nPlease place RICHTX32.OCX in " + directory +
         "\r\n\r\nRICHTX32.OCX file isincluded in zip file";
}

struct StartCase {
  const char* name;
  uint16_t architecture;
  bool present;  // an ordinary file is there (hidden and system files are not found by Dir)
  const char* path;
  const char* box;
  const char* label;
  Color colour;
};
void PrintTo(const StartCase& c, std::ostream* os) { *os << c.name; }

class Startup : public ::testing::TestWithParam<StartCase> {};

TEST_P(Startup, ReportsThePresenceInLabelBoxAndColour) {
  const StartCase& c = GetParam();
  FakeWindow w;
  w.platform.architecture = c.architecture;
  if (c.present) w.toolkit.dirMatches[c.path] = "RICHTX32.OCX";
  w.form.Form_Load();

  EXPECT_EQ(w.form.text1.Text(), c.path);
  EXPECT_EQ(w.form.Label2.Caption(), c.label);
  EXPECT_EQ(w.toolkit.messages, (std::vector<std::string>{c.box}));
  EXPECT_EQ(w.form.Label2.ForeColor(), c.colour);
  EXPECT_EQ(FormProbe::OcxFound(w.form), c.present);
  EXPECT_EQ(w.log.WithPrefix("Dir:"), (std::vector<std::string>{std::string("Dir:") + c.path}));
}

INSTANTIATE_TEST_SUITE_P(
    Machines, Startup,
    ::testing::Values(
        StartCase{"x86Present", kArchitectureIntel, true, kSystem32Path,
                  "Found c:\\windows\\system32\\RICHTX32.OCX\r\n\r\n", "Found", {0, 128, 0}},
        StartCase{"x86Absent", kArchitectureIntel, false, kSystem32Path,
                  "NOT FOUND: c:\\windows\\system32\\RICHTX32.OCX\r\n\r\nPlease place RICHTX32.OCX in "
                  "c:\\windows\\system32\r\n\r\nRICHTX32.OCX file isincluded in zip file",
                  "NOT FOUND:", {255, 0, 0}},
        StartCase{"x64Present", kArchitectureAmd64, true, kSysWow64Path,
                  "Found c:\\windows\\syswow64\\RICHTX32.OCX\r\n\r\n", "Found", {0, 128, 0}},
        StartCase{"x64Absent", kArchitectureAmd64, false, kSysWow64Path,
                  "NOT FOUND: c:\\windows\\syswow64\\RICHTX32.OCX\r\n\r\nPlease place RICHTX32.OCX in "
                  "c:\\windows\\syswow64\r\n\r\nRICHTX32.OCX file isincluded in zip file",
                  "NOT FOUND:", {255, 0, 0}},
        StartCase{"ia64Present", kArchitectureIa64, true, kSysWow64Path,
                  "Found c:\\windows\\syswow64\\RICHTX32.OCX\r\n\r\n", "Found", {0, 128, 0}},
        StartCase{"arm64Absent", kArchitectureArm64, false, kSystem32Path,
                  "NOT FOUND: c:\\windows\\system32\\RICHTX32.OCX\r\n\r\nPlease place RICHTX32.OCX in "
                  "c:\\windows\\system32\r\n\r\nRICHTX32.OCX file isincluded in zip file",
                  "NOT FOUND:", {255, 0, 0}}),
    [](const ::testing::TestParamInfo<StartCase>& info) { return info.param.name; });

TEST(StartupOrder, PreparesTheWindowThenChecksThenShowsTheBoxThenColours) {
  FakeWindow w;
  w.form.Form_Load();
  const auto at = [&](const std::string& entry) {
    const int i = w.log.FindPrefix(entry);
    EXPECT_GE(i, 0) << entry << " never happened";
    return i;
  };
  EXPECT_LT(at("lblOCXFileSpec.Text="), at("lblPleaseVerify.Visible=0"));
  EXPECT_LT(at("lblPleaseVerify.Visible=0"), at("cmdRegister.Visible=1"));
  EXPECT_LT(at("text1.Locked=0"), at("GetSystemDirectoryA"));
  EXPECT_LT(at("File1.Directory="), at("GetNativeSystemInfo"));
  EXPECT_LT(at("GetNativeSystemInfo"), at("text1.Text="));
  EXPECT_LT(at("text1.Text="), at("Dir:"));
  EXPECT_LT(at("Dir:"), at("Label2.Text="));
  EXPECT_LT(at("Label2.Text="), at("MsgBox:"));
  EXPECT_LT(at("MsgBox:"), at("Label2.ForeColor="));
  // The box is shown exactly once and the colour set exactly once, after it.
  EXPECT_EQ(w.log.WithPrefix("MsgBox:").size(), 1u);
  EXPECT_EQ(w.log.WithPrefix("Label2.ForeColor=").size(), 1u);
}

TEST(StartupWindow, HintIdleButtonsListAndLineBreak) {
  FakeWindow w;
  w.platform.systemDirectory = "D:\\WINNT\\system32";
  w.form.Form_Load();
  EXPECT_EQ(FormProbe::CrLf(w.form), "\r\n");
  EXPECT_EQ(w.form.lblOCXFileSpec.Caption(),
            "File specification of OCX/DLL\r\n    e.g. c:\\Windows\\System\\mswinsck.ocx");
  EXPECT_FALSE(w.form.lblPleaseVerify.Visible());
  EXPECT_EQ(w.form.lblFileInfo.Caption(), "");
  EXPECT_TRUE(w.form.cmdRegister.Visible());
  EXPECT_TRUE(w.form.cmdUnregister.Visible());
  EXPECT_TRUE(w.form.cmdExit.Visible());
  EXPECT_FALSE(w.form.cmdProceed.Visible());
  EXPECT_FALSE(w.form.cmdCancel.Visible());
  EXPECT_FALSE(w.form.text1.Locked());
  // The list follows the platform's system directory; the check keeps its fixed path.
  EXPECT_EQ(w.form.File1.Path(), "D:\\WINNT\\system32");
  EXPECT_EQ(w.log.Find("File1.Directory=D:\\WINNT\\system32|*.ocx"), w.log.FindPrefix("File1.Directory="));
  EXPECT_EQ(w.form.text1.Text(), kSystem32Path);
}

TEST(StartupFailures, AFailingProbeChoosesSystem32) {
  FakeWindow w;
  w.platform.onGetNativeSystemInfo = [](SystemInfo*) { throw ToolkitError("Specified DLL function not found"); };
  w.toolkit.dirMatches[kSysWow64Path] = "RICHTX32.OCX";
  w.form.Form_Load();
  EXPECT_EQ(w.form.text1.Text(), kSystem32Path);
  EXPECT_EQ(w.toolkit.messages, (std::vector<std::string>{NotFoundText("c:\\windows\\system32")}));
}

TEST(StartupFailures, AFailingLookupCountsAsNotFound) {
  FakeWindow w;
  w.toolkit.onDir = [](const std::string&) -> std::string { throw ToolkitError("Bad file name or number"); };
  w.form.Form_Load();
  EXPECT_EQ(w.form.Label2.Caption(), "NOT FOUND:");
  EXPECT_FALSE(FormProbe::OcxFound(w.form));
  EXPECT_EQ(w.form.Label2.ForeColor(), (Color{255, 0, 0}));
}

TEST(StartupFailures, EveryOtherStepStillRunsAfterOneFails) {
  FakeWindow w;
  w.View(IdFile1).onDirectory = [](const std::string&) { throw ToolkitError("Path not found"); };
  w.toolkit.onMsgBox = [](const std::string&) { throw ToolkitError("Out of memory"); };
  w.platform.onGetSystemDirectoryA = [](char*, uint32_t) -> uint32_t { return 0; };
  w.form.Form_Load();
  EXPECT_EQ(w.form.File1.Path(), "");  // the list stays as it was
  EXPECT_EQ(w.form.Label2.Caption(), "NOT FOUND:");
  EXPECT_EQ(w.form.Label2.ForeColor(), (Color{255, 0, 0}));  // the colour is set all the same
  EXPECT_FALSE(w.form.cmdProceed.Visible());
}

TEST(Closing, CloseExitAndTheCloseBoxEndAtOnceWithNoQuestion) {
  for (void (*close)(frmRavlin&) : {+[](frmRavlin& f) { f.Command2.Click(); },
                                     +[](frmRavlin& f) { f.cmdExit.Click(); }}) {
    FakeWindow w;
    close(w.form);
    EXPECT_EQ(w.log.entries, (std::vector<std::string>{"Unload", "End"}));
    EXPECT_TRUE(w.toolkit.ended);
  }
  FakeWindow w;
  int16_t cancel = 0;
  w.form.Form_Unload(cancel);  // the title bar's close box arrives here
  EXPECT_EQ(cancel, 0);
  EXPECT_EQ(w.log.entries, (std::vector<std::string>{"End"}));
}

}  // namespace
}  // namespace ravlin
