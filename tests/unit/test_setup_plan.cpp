// The plan for a setup folder against what the system has: one line, one row.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "Fakes.h"
#include "inspection/FileVersion.h"
#include "inspection/SetupPlan.h"
#include "registration/SetupRequest.h"
#include "texts/SetupTexts.h"

namespace ravlin {
namespace {

using Step = PlannedFile::Step;
using Why = PlannedFile::Why;

constexpr char kSystem[] = "C:\\WINDOWS\\SysWOW64";
constexpr char kProgram[] = "C:\\Program Files (x86)\\pdfPrint";

// A version block holding only its fixed part, which says 1.8.0.5.
std::string BlockOf18() {
  const unsigned char bytes[] = {0, 0, 0, 0, 0xBD, 0x04, 0xEF, 0xFE, 0, 0, 1, 0, 8, 0, 1, 0, 5, 0, 0, 0};
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

TEST(SetupPlan, EachFileAgainstWhatTheSystemHas) {
  const struct {
    const char* line;
    const char* present;  // the file there already, by full path; "" for none
    Step step;
    Why why;
    bool registers;
  } rows[] = {
      {"@OLEAUT32.DLL,$(WinSysPathSysFile),$(DLLSelfRegister),,d,1,9.9", "SysWOW64\\OLEAUT32.DLL", Step::Keep,
       Why::SystemOwn, false},
      {"@asycfilt.dll,$(WinSysPath),,,d,1,9.9", "SysWOW64\\asycfilt.dll", Step::Keep, Why::SystemOwn, false},
      {"@STDOLE2.TLB,$(WinSysPath),$(TLBRegister),,d,1", "", Step::Pass, Why::SystemOwnAbsent, false},
      {"@VB6STKIT.DLL,$(WinSysPathSysFile),,,d,1", "", Step::Pass, Why::SetupOwn, false},
      {"@msvbvm60.dll,$(WinSysPathSysFile),$(DLLSelfRegister),,d,1", "SysWOW64\\msvbvm60.dll", Step::Keep,
       Why::RuntimeThere, false},
      {"@msvbvm60.dll,$(WinSysPathSysFile),$(DLLSelfRegister),,d,1", "", Step::Install, Why::Missing, true},
      {"@other.dll,$(WinSysPathSysFile),,,d,1", "", Step::Install, Why::Missing, false},
      {"@STrayIco.ocx,$(WinSysPath),$(DLLSelfRegister),,d,1,1.9.0.23", "", Step::Install, Why::Missing, true},
      {"@STrayIco.ocx,$(WinSysPath),$(DLLSelfRegister),,d,1,1.9.0.23", "SysWOW64\\STrayIco.ocx", Step::Keep,
       Why::PackageNewer, true},
      {"@STrayIco.ocx,$(WinSysPath),$(DLLSelfRegister),,d,1,1.8.0.5", "SysWOW64\\STrayIco.ocx", Step::Keep,
       Why::SameOrNewer, true},
      {"@STrayIco.ocx,$(WinSysPath),$(DLLSelfRegister),,d,1,1.7.99", "SysWOW64\\STrayIco.ocx", Step::Keep,
       Why::SameOrNewer, true},
      {"@pdfPrint.exe,$(AppPath),$(EXESelfRegister),,d,1", "pdfPrint\\pdfPrint.exe", Step::Keep,
       Why::AlreadyThere, true},
      {"@pdfPrint.exe,$(AppPath),$(EXESelfRegister),,d,1", "", Step::Install, Why::Missing, true},
      {"@notpacked.dll,$(AppPath),,,d,1", "", Step::Pass, Why::NoSource, false},
      {"1,,readme.tx_,readme.txt,$(AppPath),,,d,1", "", Step::Pass, Why::Compressed, false},
      {"plain.tlb,$(AppPath)\\Data,$(TLBRegister),,d,1", "", Step::Install, Why::Missing, true},
      {"@remote.dll,$(AppPath),$(Remote),,d,1", "", Step::Install, Why::Missing, false},
  };
  for (const auto& row : rows) {
    CallLog log;
    FakePlatform platform(log);
    const std::string present = row.present[0] ? std::string("C:\\") + (row.present[0] == 'S' ? "WINDOWS\\" : "Program Files (x86)\\") + row.present : "";
    const std::set<std::string> there = {present, "C:\\setup\\plain.tlb", "C:\\setup\\readme.tx_"};
    platform.onGetFileAttributesA = [&](const char* path) { return there.count(path) ? 0x20u : kInvalidFileAttributes; };
    platform.onGetFileVersionInfoSizeA = [](const char*, uint32_t*) { return 20u; };
    platform.onGetFileVersionInfoA = [](const char*, uint32_t, uint32_t size, void* data) {
      BlockOf18().copy(static_cast<char*>(data), size);
      return 1;
    };
    const SetupList list = ReadSetupList(std::string("[Setup]\nAppExe=pdfPrint.exe\n[Files]\nFile1=") + row.line);
    ASSERT_EQ(list.files.size(), 1u) << row.line;
    const SetupSources sources{"C:\\Temp\\ravlin-setup-1", {"OLEAUT32.DLL", "msvbvm60.dll", "STrayIco.ocx",
                                                            "pdfPrint.exe", "remote.dll", "other.dll"}, {}, {}};
    const SetupPlan plan = PlanSetup(platform, list, {"C:\\setup", kProgram, kSystem, "C:\\WINDOWS", "", ""}, sources);
    ASSERT_EQ(plan.files.size(), 1u);
    const PlannedFile& file = plan.files[0];
    EXPECT_EQ(file.step, row.step) << row.line << " " << row.present;
    EXPECT_EQ(file.why, row.why) << row.line << " " << row.present;
    EXPECT_EQ(file.registers, row.registers) << row.line << " " << row.present;
    if (row.step == Step::Install) {
      EXPECT_EQ(file.source, file.file.inCabinet ? "C:\\Temp\\ravlin-setup-1\\" + file.file.name : "C:\\setup\\plain.tlb");
    }
    if (row.why == Why::PackageNewer) {
      EXPECT_EQ(file.presentVersion, "1.8.0.5");
    }
  }
}

// Replacing, asked for or not, against what may never be replaced; each line as the plan shows it.
TEST(SetupPlan, ReplacesOnlyANewerSharedFileItHasACopyOf) {
  const struct {
    const char* line;
    bool protectedFile;  // Windows File Protection guards the one there
    bool replace;
    Why why;
    const char* shown;   // past the name
  } rows[] = {
      {"@STrayIco.ocx,$(WinSysPath),$(DLLSelfRegister),,d,1,1.9.0.23", false, true, Why::Replaces,
       "replaced: the package's 1.9.0.23 is newer than 1.8.0.5 there, which is kept in "
       "C:\\Program Files (x86)\\pdfPrint\\Replaced, then register it"},
      {"@STrayIco.ocx,$(WinSysPath),$(DLLSelfRegister),,d,1,1.9.0.23", false, false, Why::PackageNewer,
       "kept: the package's 1.9.0.23 is newer than 1.8.0.5 there, which is not replaced, then register it"},
      {"@STrayIco.ocx,$(WinSysPath),$(DLLSelfRegister),,d,1,1.9.0.23", true, true, Why::SystemProtects,
       "kept: the package's 1.9.0.23 is newer than 1.8.0.5 there, but Windows protects it"},
      {"@nocopy.ocx,$(WinSysPath),,,d,1,1.9", false, true, Why::PackageNewer,
       "kept: the package's 1.9 is newer than 1.8.0.5 there, which is not replaced"},
      {"@OLEAUT32.DLL,$(WinSysPathSysFile),,,d,1,9.9", false, true, Why::SystemOwn, "kept: the system's own"},
      {"@asycfilt.dll,$(WinSysPath),,,d,1,9.9", false, true, Why::SystemOwn, "kept: the system's own"},
      {"@msvbvm60.dll,$(WinSysPath),,,d,1,9.9", false, true, Why::RuntimeThere,
       "kept: the Visual Basic runtime is there"},
  };
  for (const auto& row : rows) {
    CallLog log;
    FakePlatform platform(log);
    const SetupList list = ReadSetupList(std::string("[Setup]\nAppExe=pdfPrint.exe\n[Files]\nFile1=") + row.line);
    ASSERT_EQ(list.files.size(), 1u) << row.line;
    const std::string there = std::string(kSystem) + "\\" + list.files[0].name;
    if (row.protectedFile) platform.protectedFiles.insert(there);
    platform.onGetFileAttributesA = [&](const char* path) { return there == path ? 0x20u : kInvalidFileAttributes; };
    platform.onGetFileVersionInfoSizeA = [](const char*, uint32_t*) { return 20u; };
    platform.onGetFileVersionInfoA = [](const char*, uint32_t, uint32_t size, void* data) {
      BlockOf18().copy(static_cast<char*>(data), size);
      return 1;
    };
    const SetupSources sources{"C:\\Temp\\ravlin-setup-1", {"STrayIco.ocx", "OLEAUT32.DLL", "asycfilt.dll",
                                                            "msvbvm60.dll"}, {}, {}};
    SetupPlan plan = PlanSetup(platform, list, {"C:\\setup", kProgram, kSystem, "C:\\WINDOWS", "", ""}, sources);
    ChooseReplacing(plan, row.replace);
    EXPECT_EQ(plan.files[0].why, row.why) << row.line;
    EXPECT_EQ(plan.files[0].step, row.why == Why::Replaces ? Step::Install : Step::Keep) << row.line;
    EXPECT_EQ(PlanLine(plan.files[0]), list.files[0].name + ": " + row.shown);
  }
}

// A list that opens but reads short of its size (locked, a read error) could not be loaded; read whole, it is planned.
TEST(PrepareSetup, AListThatReadsShortCouldNotBeLoaded) {
  constexpr char kList[] = "C:\\setup\\SETUP.LST";
  const std::string list = "[Setup]\r\nAppExe=a.exe\r\n[Files]\r\nFile1=@a.exe,$(AppPath),,,d,1\r\n";
  for (const uint64_t size : {uint64_t{list.size()}, uint64_t{list.size() + 1}}) {
    CallLog log;
    FakePlatform platform(log);
    platform.fileBytes[kList] = list;
    platform.fileData[kList].size = size;
    platform.onGetFullPathNameA = [](const char* name, uint32_t length, char* buffer, char**) {
      const uint32_t needed = static_cast<uint32_t>(std::strlen(name));
      if (needed < length) std::memcpy(buffer, name, needed + 1);
      return needed < length ? needed : needed + 1;
    };
    EXPECT_EQ(PrepareSetup(platform, kList, "C:\\to", false).why,
              size == list.size() ? PreparedSetup::Why::Ready : PreparedSetup::Why::NoList);
  }
}

TEST(SetupPlan, DestinationsFollowTheirMacrosAndTheProgramIsInItsFolder) {
  CallLog log;
  FakePlatform platform(log);
  const SetupList list = ReadSetupList(
      "[Setup]\nAppExe=pdfPrint.exe\n[Files]\nFile1=@a,$(AppPath)\\Help,,,d,1\nFile2=@b,$(WinPath),,,d,1\n"
      "File3=@c,$(CommonFilesSys),,,d,1\nFile4=@d,$(MSDAOPath),,,d,1\nFile5=@e,$(ProgramFiles)\\x,,,d,1\n");
  const SetupPlan plan =
      PlanSetup(platform, list, {"C:\\setup", kProgram, kSystem, "C:\\WINDOWS", "C:\\PF", "C:\\PF\\Common"}, {});
  std::vector<std::string> targets;
  for (const PlannedFile& file : plan.files) targets.push_back(file.target);
  EXPECT_EQ(targets, (std::vector<std::string>{std::string(kProgram) + "\\Help\\a", "C:\\WINDOWS\\b",
                                               "C:\\PF\\Common\\System\\c", "C:\\PF\\Common\\Microsoft Shared\\DAO\\d",
                                               "C:\\PF\\x\\e"}));
  EXPECT_EQ(plan.program, std::string(kProgram) + "\\pdfPrint.exe");
  EXPECT_LT(CompareVersions("6.0.81.69", "6.0.88.4"), 0);
  EXPECT_EQ(CompareVersions("1.9", "1.9.0.0"), 0);
}

}  // namespace
}  // namespace ravlin
