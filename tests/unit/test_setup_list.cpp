// SETUP.LST read as data: each line form, macro and damage, one row each.
#include <gtest/gtest.h>

#include "inspection/SetupList.h"

namespace ravlin {
namespace {

using F = SetupFolder;
using R = SetupRegistration;
using Why = SetupLineProblem::Why;

constexpr char kHead[] = "[Setup]\r\nTitle=pdfPrint\r\nDefaultDir=$(ProgramFiles)\\pdfPrint\r\n[Setup1 Files]\r\n";

TEST(SetupList, EachLineFormMacroAndRegistration) {
  const struct {
    const char* line;
    const char* name;
    bool inCabinet;
    const char* beside;
    F folder;
    const char* subFolder;
    R registration;
    const char* version;
  } rows[] = {
      {"File1=@STrayIco.ocx,$(WinSysPath),$(DLLSelfRegister),$(Shared),3/1/00,32768,1.9.0.23", "STrayIco.ocx", true,
       "STrayIco.ocx", F::WinSysPath, "", R::DllSelfRegister, "1.9.0.23"},
      {"File2=@OLEAUT32.DLL,$(WinSysPathSysFile),$(DLLSelfRegister),,4/11/00,598288", "OLEAUT32.DLL", true,
       "OLEAUT32.DLL", F::WinSysPathSysFile, "", R::DllSelfRegister, ""},
      {"file3 = plain.exe , $(AppPath)\\Data\\Img\\ , $(EXESelfRegister),,d,1,1.0", "plain.exe", false, "plain.exe",
       F::AppPath, "Data\\Img", R::ExeSelfRegister, "1.0"},
      {"File4=1,,COMCAT.DL_,COMCAT.DLL,$(WinPath),$(TLBRegister),,1/1/97,22288,4.71.1460.1", "COMCAT.DLL", false,
       "COMCAT.DL_", F::WinPath, "", R::TlbRegister, "4.71.1460.1"},
      {"File5=@a.dll,$(programfiles)\\x,$(Remote),,d,1", "a.dll", true, "a.dll", F::ProgramFiles, "x", R::Remote, ""},
      {"File6=@b.dll,$(CommonFiles),$(VBLRegister),,d,1", "b.dll", true, "b.dll", F::CommonFiles, "", R::VblRegister, ""},
      // Windows-1252, as the packager's machine wrote it.
      {"File9=@Contr\xF4le.ocx,$(AppPath),,,d,1", "Contr\xC3\xB4le.ocx", true, "Contr\xC3\xB4le.ocx", F::AppPath, "",
       R::None, ""},
  };
  for (const auto& row : rows) {
    const SetupList list = ReadSetupList(std::string(kHead) + row.line + "\r\n");
    ASSERT_EQ(list.files.size(), 1u) << row.line;
    const SetupFile& file = list.files[0];
    EXPECT_EQ(file.line, 5u);
    EXPECT_EQ(file.name, row.name) << row.line;
    EXPECT_EQ(file.inCabinet, row.inCabinet) << row.line;
    EXPECT_EQ(file.besideName, row.beside) << row.line;
    EXPECT_EQ(file.folder, row.folder) << row.line;
    EXPECT_EQ(file.subFolder, row.subFolder) << row.line;
    EXPECT_EQ(file.registration, row.registration) << row.line;
    EXPECT_EQ(file.version, row.version) << row.line;
  }
}

TEST(SetupList, DamagedAndRefusedLinesAreNamedByTheirNumber) {
  const struct {
    const char* line;
    Why why;
  } rows[] = {
      {"just words", Why::NotALine},
      {"File1=@a.ocx,$(WinSysPath)", Why::Fields},
      {"File1=@..,$(AppPath),,,d,1", Why::Name},
      {"File1=@sub\\a.ocx,$(AppPath),,,d,1", Why::Name},
      {"File1=@a.ocx,$(Desktop),,,d,1", Why::UnknownFolder},
      {"File1=@a.ocx,$(AppPath)\\..\\..\\Windows,,,d,1", Why::OutsideFolders},
      {"File1=@a.ocx,C:\\Windows,,,d,1", Why::OutsideFolders},
      {"File1=@a.ocx,\\\\server\\share,,,d,1", Why::OutsideFolders},
      {"File1=@a.ocx,$(AppPath),$(Shell),,d,1", Why::UnknownRegistration},
  };
  for (const auto& row : rows) {
    const SetupList list = ReadSetupList(std::string(kHead) + "; a comment\r\n\r\n" + row.line + "\r\n");
    EXPECT_TRUE(list.files.empty()) << row.line;
    ASSERT_EQ(list.problems.size(), 1u) << row.line;
    EXPECT_EQ(list.problems[0].line, 7u) << row.line;
    EXPECT_EQ(list.problems[0].why, row.why) << row.line;
    EXPECT_EQ(list.problems[0].text, row.line);
  }
}

TEST(SetupList, CabinetsTheProgramAndAFileNamedTwice) {
  const struct {
    const char* bootstrap;
    std::vector<std::string> cabinets;
  } rows[] = {
      {"CabFile=PDFPRINT.CAB\nCabs=1", {"PDFPRINT.CAB"}},
      {"Cabs=3\nCabFile=PROJECT1.CAB", {"PROJECT1.CAB", "PROJECT2.CAB", "PROJECT3.CAB"}},
      {"CabFile=..\\..\\evil.cab", {}},
      {"SetupTitle=Install", {}},
  };
  for (const auto& row : rows) {
    const SetupList list = ReadSetupList(std::string("[Bootstrap]\n") + row.bootstrap +
                                         "\n[Setup]\nDefaultDir=$(ProgramFiles)\\pdfPrint\nAppExe=pdfPrint.exe\n"
                                         "[Setup1 Files]\nFile1=@x.ocx,$(WinSysPath),,,d,1\nFile2=@X.OCX,$(WinSysPath),,,d,1\n"
                                         "File3=@x.ocx,$(AppPath),,,d,1\n");
    EXPECT_EQ(list.cabinets, row.cabinets) << row.bootstrap;
    EXPECT_EQ(list.appExe, "pdfPrint.exe");
    EXPECT_EQ(ProgramFolderName(list), "pdfPrint");
    ASSERT_EQ(list.files.size(), 3u);
    EXPECT_EQ(list.files[1].firstLine, list.files[0].line);
    EXPECT_EQ(list.files[2].firstLine, 0u) << "another folder: not the same file";
  }
  EXPECT_EQ(ReadSetupList("[Setup]\nTitle=Old App\nDefaultDir=C:\\\nAppExe=..\\x.exe\n").appExe, "");
  EXPECT_EQ(ProgramFolderName(ReadSetupList("[Setup]\nTitle=Old App\nDefaultDir=$(ProgramFiles)\\\n")), "Old App");
}

}  // namespace
}  // namespace ravlin
