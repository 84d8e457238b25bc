// Names in a program's table that are never a control: never looked for,
// never registered or copied, and said for what they are.
#include <gtest/gtest.h>

#include "Fakes.h"
#include "VbProgramBuilder.h"
#include "inspection/NeverControls.h"
#include "inspection/ProgramState.h"
#include "texts/ProgramTexts.h"

namespace ravlin {
namespace {

TEST(NeverControls, SystemLibrariesTheRuntimeTypeLibrariesDevicesAndTheProgramAreNoControls) {
  using N = NeverAControl;
  const struct {
    const char* name;
    N never;
  } cases[] = {
      {"old.exe", N::TheProgram}, {"C:\\Elsewhere\\OLD.EXE", N::TheProgram},
      {"kernel32.dll", N::System}, {"SHELL32.DLL", N::System}, {"oleaut32.dll.", N::System},
      {"MSVBVM60.DLL", N::VisualBasicRuntime}, {"msvbvm50.dll", N::VisualBasicRuntime},
      {"stdole2.tlb", N::NotAControlFile}, {"C:\\Office\\MSO97.OLB", N::NotAControlFile},
      {"CON", N::NotAControlFile}, {"nul.ocx", N::NotAControlFile}, {"Aux .ocx", N::NotAControlFile},
      {"prn", N::NotAControlFile}, {"COM1", N::NotAControlFile}, {"com9.ocx", N::NotAControlFile},
      {"LPT1.dll", N::NotAControlFile}, {"CONIN$", N::NotAControlFile}, {"conout$.ocx", N::NotAControlFile},
      {"COM\xC2\xB9.ocx", N::NotAControlFile},
      // Controls, however close their names come.
      {"COMDLG32.OCX", N::No}, {"comctl32.ocx", N::No}, {"COM10.ocx", N::No}, {"COM0.ocx", N::No},
      {"console.ocx", N::No}, {"nullify.ocx", N::No}, {"wshom.ocx", N::No}, {"old.exe.ocx", N::No},
  };
  for (const auto& c : cases) EXPECT_EQ(NeverAControlFor(c.name, "old.exe"), c.never) << c.name;
}

TEST(NeverControls, AreSaidForWhatTheyAreAndNeitherRegisteredNorLookedFor) {
  CallLog log;
  FakePlatform platform(log);
  constexpr char kProgram[] = "C:\\App\\OLD~1.EXE";
  platform.fileBytes[kProgram] = vb::Program({vb::Entry(vb::kShellGuid, "shell32.dll", "Shell32.Shell"),
                                              vb::Entry(vb::kShellGuid, "Old Program.exe", "Old.Form"),
                                              vb::Entry(vb::kShellGuid, "NUL.ocx", "Nul.Device")});
  platform.longPaths["c:\\app\\old~1.exe"] = "C:\\App\\Old Program.exe";
  platform.SetRegistryValue(false, "HKLM\\Software\\Classes\\CLSID\\{72C24DD5-D70A-438B-8A42-98424B88AFB8}\\"
                                   "InprocServer32", "", "C:\\WINDOWS\\SysWOW64\\shell32.dll");
  platform.onGetFileAttributesA = [](const char*) { return 0x20u; };  // any file is there
  const ProgramState program = ReadProgramState(platform, kProgram);
  EXPECT_EQ(ControlList(program), "Runtime MSVBVM60.DLL: found, C:\\App\\MSVBVM60.DLL\r\n"
                                  "shell32.dll: part of the system\r\nOld Program.exe: the program itself\r\n"
                                  "NUL.ocx: not a control file");
  for (const char* name : {"shell32", "Old", "NUL"})
    EXPECT_EQ(log.FindPrefix(std::string("GetFileAttributesA:C:\\App\\") + name), -1) << name;
  for (const ControlState& control : program.controls) EXPECT_FALSE(control.Registrable()) << control.control.file;
  EXPECT_EQ(ControlLine(program, {{"MSVBVM60.DLL", {}}, ControlState::Kind::NotAControl, "", "",
                                  NeverAControl::VisualBasicRuntime, ""}),
            "MSVBVM60.DLL: the Visual Basic runtime");
}

}  // namespace
}  // namespace ravlin
