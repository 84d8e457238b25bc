// What the list says about a file the machine lacks: the winetricks verb
// under Wine, where it comes from on Windows, and the runtime's line.
#include <gtest/gtest.h>

#include "texts/Hints.h"

namespace ravlin {
namespace {

constexpr char kElsewhere[] = "put a copy beside the program or in the system folder, or look in a folder";
constexpr char kRedistributable[] =
    "it comes with the program's setup or the Visual Basic 6 controls' redistributable";

TEST(MissingControlHint, NamesTheVerbThatInstallsItUnderWineAndTheRedistributableOnWindows) {
  struct Row {
    const char* file;
    bool underWine;
    std::string hint;
  } rows[] = {
      {"COMDLG32.OCX", true, "winetricks comdlg32ocx installs it"},
      {"C:\\old\\MSCOMCT2.OCX", true, "winetricks comctl32ocx installs it"},
      {"comctl32.ocx", true, "winetricks comctl32ocx installs it"},
      {"MSFLXGRD.OCX", true, "winetricks msflxgrd installs it"},
      {"MSHFLXGD.OCX", true, "winetricks mshflxgd installs it"},
      {"MSMASK32.OCX", true, "winetricks msmask installs it"},
      {"RICHTX32.OCX", true, "winetricks richtx32 installs it"},
      {"TABCTL32.OCX", true, "winetricks tabctl32 installs it"},
      {"msscript.ocx", true, "winetricks msscript installs it"},
      {"MSDXM.OCX", true, "winetricks msdxmocx installs it"},
      {"MSCOMCTL.OCX", false, kRedistributable},
      {"MSWINSCK.OCX", true, kElsewhere},  // no verb of the table installs it
      {"MSWINSCK.OCX", false, kElsewhere},
      {"mscomctl.ocx.bak", true, kElsewhere},
  };
  for (const Row& row : rows) EXPECT_EQ(MissingControlHint(row.file, row.underWine), row.hint) << row.file;
}

TEST(RuntimeLine, SaysWhereTheRuntimeIsOrHowToGetIt) {
  struct Row {
    RuntimeState runtime;
    bool underWine;
    std::string line;
  } rows[] = {
      {{"MSVBVM60.DLL", "C:\\WINDOWS\\SysWOW64\\MSVBVM60.DLL"}, true,
       "Runtime MSVBVM60.DLL: found, C:\\WINDOWS\\SysWOW64\\MSVBVM60.DLL"},
      {{"MSVBVM60.DLL", ""}, true, "Runtime MSVBVM60.DLL: missing; winetricks vb6run installs it"},
      {{"msvbvm50.dll", ""}, true, "Runtime msvbvm50.dll: missing; winetricks vb5run installs it"},
      {{"MSVBVM60.DLL", ""}, false, "Runtime MSVBVM60.DLL: missing; install the Visual Basic 6.0 runtime"},
      {{"", ""}, true, ""},
  };
  for (const Row& row : rows) EXPECT_EQ(RuntimeLine(row.runtime, row.underWine), row.line) << row.line;
}

}  // namespace
}  // namespace ravlin
