#include <gtest/gtest.h>

#include <ostream>

#include "Fakes.h"
#include "inspection/PeImage.h"
#include "inspection/RegistrationState.h"
#include "texts/StateTexts.h"

namespace ravlin {
namespace {

// --- How a class's server path names the file: one class, one file, each way of writing it ---

constexpr bool k32 = false, k64 = true;

struct PathCase {
  const char* name;
  uint16_t machine;
  bool writtenIn64;  // the registry view the class is in
  std::string file;
  std::string value;
  PathMatch expected;
  std::string otherPath;  // for SameName: the copy's path as reported
};
void PrintTo(const PathCase& c, std::ostream* os) { *os << c.name; }

const std::vector<PathCase>& PathCases() {
  static const std::vector<PathCase> cases = {
      {"case differs", kMachineI386, k32, "C:\\WINDOWS\\SysWOW64\\RICHTX32.OCX",
       "c:\\windows\\syswow64\\richtx32.ocx", PathMatch::ThisFile, ""},
      {"quoted, with blanks", kMachineI386, k32, "C:\\Controls\\my.ocx", " \"C:\\Controls\\my.ocx\" ",
       PathMatch::ThisFile, ""},
      {"environment string", kMachineI386, k32, "C:\\WINDOWS\\SysWOW64\\richtx32.ocx",
       "%SystemRoot%\\SysWOW64\\richtx32.ocx", PathMatch::ThisFile, ""},
      {"environment string, quoted", kMachineAmd64, k64, "C:\\Program Files\\Common Files\\x.ocx",
       "\"%ProgramFiles%\\Common Files\\x.ocx\"", PathMatch::ThisFile, ""},
      {"bare name, 32-bit: the 32-bit system folder", kMachineI386, k32,
       "C:\\WINDOWS\\SysWOW64\\richtx32.ocx", "RICHTX32.OCX", PathMatch::ThisFile, ""},
      {"bare name, 64-bit: the system folder", kMachineAmd64, k64, "C:\\WINDOWS\\system32\\wshom.ocx",
       "wshom.ocx", PathMatch::ThisFile, ""},
      {"bare name, 32-bit, file in the 64-bit system folder", kMachineI386, k32,
       "C:\\WINDOWS\\system32\\richtx32.ocx", "richtx32.ocx", PathMatch::SameName,
       "C:\\WINDOWS\\SysWOW64\\richtx32.ocx"},
      {"system32 as a 32-bit loader reads it", kMachineI386, k32, "C:\\WINDOWS\\SysWOW64\\richtx32.ocx",
       "C:\\WINDOWS\\System32\\RICHTX32.OCX", PathMatch::ThisFile, ""},
      {"short form of the file", kMachineI386, k32, "C:\\Program Files (x86)\\Old\\richtx32.ocx",
       "C:\\PROGRA~2\\Old\\RICHTX~1.OCX", PathMatch::ThisFile, ""},
      {"short form of another copy", kMachineI386, k32, "C:\\WINDOWS\\SysWOW64\\richtx32.ocx",
       "C:\\OLDCON~1\\RICHTX32.OCX", PathMatch::SameName, "C:\\Old Controls\\RICHTX32.OCX"},
      {"short form of a copy not there", kMachineI386, k32, "C:\\WINDOWS\\SysWOW64\\richtx32.ocx",
       "C:\\GONE~1\\RICHTX32.OCX", PathMatch::SameName, "C:\\GONE~1\\RICHTX32.OCX"},
      {"a folder and its way back", kMachineI386, k32, "C:\\Controls\\my.ocx", "C:\\Controls\\sub\\..\\my.ocx",
       PathMatch::ThisFile, ""},
      {"the current folder", kMachineI386, k32, "C:\\Controls\\my.ocx", "C:\\Controls\\.\\my.ocx",
       PathMatch::ThisFile, ""},
      {"doubled separators", kMachineI386, k32, "C:\\Controls\\my.ocx", "C:\\\\Controls\\\\my.ocx",
       PathMatch::ThisFile, ""},
      {"the long-path prefix", kMachineI386, k32, "C:\\Controls\\my.ocx", "\\\\?\\C:\\Controls\\my.ocx",
       PathMatch::ThisFile, ""},
      {"an environment string and its way back", kMachineI386, k32, "C:\\WINDOWS\\SysWOW64\\richtx32.ocx",
       "%SystemRoot%\\..\\WINDOWS\\SysWOW64\\richtx32.ocx", PathMatch::ThisFile, ""},
      {"trailing dots and spaces", kMachineI386, k32, "C:\\Controls\\my.ocx", "C:\\Controls.\\my.ocx. . ",
       PathMatch::ThisFile, ""},
      {"a way back to another copy", kMachineI386, k32, "C:\\Controls\\my.ocx", "C:\\Controls\\..\\Old\\my.ocx",
       PathMatch::SameName, "C:\\Old\\my.ocx"},
      {"another file", kMachineI386, k32, "C:\\WINDOWS\\SysWOW64\\richtx32.ocx",
       "C:\\WINDOWS\\SysWOW64\\other.ocx", PathMatch::Unrelated, ""},
      {"a longer name ending in the file's", kMachineI386, k32, "C:\\x\\richtx32.ocx",
       "C:\\x\\notrichtx32.ocx", PathMatch::Unrelated, ""},
      {"the other architecture's view is not read", kMachineAmd64, k32, "C:\\WINDOWS\\system32\\wshom.ocx",
       "C:\\WINDOWS\\system32\\wshom.ocx", PathMatch::Unrelated, ""},
  };
  return cases;
}

class PathMatching : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathMatching, ClassIsFoundAsItsPathNamesTheFile) {
  const PathCase& c = GetParam();
  CallLog log;
  FakePlatform platform(log);
  platform.environment = {{"SYSTEMROOT", "C:\\WINDOWS"}, {"PROGRAMFILES", "C:\\Program Files"}};
  platform.longPaths = {{"c:\\progra~2\\old\\richtx~1.ocx", "C:\\Program Files (x86)\\Old\\richtx32.ocx"},
                        {"c:\\oldcon~1\\richtx32.ocx", "C:\\Old Controls\\RICHTX32.OCX"}};
  const std::string clsid = "{00000000-0000-0000-0000-0000000000a1}";
  for (bool view : {k32, k64})  // each view holds some class of another file
    platform.SetRegistryValue(view, "HKLM\\Software\\Classes\\CLSID\\{00000000-0000-0000-0000-0000000000b2}\\InprocServer32", "",
                              "C:\\elsewhere\\unrelated.dll");
  platform.SetRegistryValue(c.writtenIn64, "HKLM\\Software\\Classes\\CLSID\\" + clsid + "\\InprocServer32", "", c.value,
                            c.value.find('%') == std::string::npos ? kRegSz : kRegExpandSz);

  const RegistrationState state = ReadRegistrationState(platform, c.file, c.machine);

  EXPECT_TRUE(state.read);
  EXPECT_EQ(state.classes.size(), c.expected == PathMatch::ThisFile ? 1u : 0u);
  ASSERT_EQ(state.otherCopies.size(), c.expected == PathMatch::SameName ? 1u : 0u);
  if (c.expected == PathMatch::SameName) {
    EXPECT_EQ(state.otherCopies[0].path, c.otherPath);
    EXPECT_EQ(state.otherCopies[0].registeredClass.clsid, clsid);
  }
  EXPECT_EQ(platform.OpenRegistryKeys(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Table, PathMatching, ::testing::ValuesIn(PathCases()),
                         [](const ::testing::TestParamInfo<PathCase>& info) {
                           std::string name = info.param.name;
                           for (char& ch : name)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

// A scan the registry broke off is unknown, rather than "not registered", and why is kept.
TEST(RegistrationState, ARegistryThatFailsMidwayLeavesTheStateUnknown) {
  CallLog log;
  FakePlatform platform(log);
  for (const char* clsid : {"{00000000-0000-0000-0000-0000000000a1}", "{00000000-0000-0000-0000-0000000000a2}"})
    platform.SetRegistryValue(k32, std::string("HKLM\\Software\\Classes\\CLSID\\") + clsid + "\\InprocServer32", "",
                              "C:\\elsewhere\\other.dll");
  const std::string file = "C:\\WINDOWS\\SysWOW64\\richtx32.ocx";
  EXPECT_TRUE(ReadRegistrationState(platform, file, kMachineI386).read);
  platform.failEnumerationAt = 1;
  const RegistrationState state = ReadRegistrationState(platform, file, kMachineI386);
  EXPECT_FALSE(state.read);
  EXPECT_EQ(state.failure, 5);  // what the fake's registry answers
  EXPECT_EQ(platform.OpenRegistryKeys(), 0u);
}

// --- The texts of a state ------------------------------------------------------------------

RegisteredClass Class(const std::string& progId) { return {"{" + progId + "}", progId, ""}; }

RegistrationState State(size_t classes, size_t libraries) {
  RegistrationState state;
  state.read = true;
  const char* names[] = {"A.One", "B.Two", "C.Three", "D.Four", "E.Five", "F.Six"};
  for (size_t i = 0; i < classes; ++i) state.classes.push_back(Class(names[i]));
  for (size_t i = 0; i < libraries; ++i)
    state.typeLibraries.push_back({"{lib" + std::to_string(i) + "}", "Lib " + std::to_string(i), "1.0"});
  return state;
}

RegistrationState WithCopy(RegistrationState state, const std::string& path, bool exists) {
  state.otherCopies.push_back({Class("Old.Class"), path, exists});
  return state;
}

struct TextCase {
  const char* name;
  RegistrationState state;
  std::string confirmation, afterRegistering, afterUnregistering;
};
void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

const std::vector<TextCase>& TextCases() {
  static const std::vector<TextCase> cases = {
      {"three classes and a type library", State(3, 1),
       "Registered now: 3 classes and a type library, to this file.",
       "Now registered to this file:\r\nClasses: A.One, B.Two and C.Three.\r\nType library: Lib 0 1.0.",
       "Still registered to this file:\r\nClasses: A.One, B.Two and C.Three.\r\nType library: Lib 0 1.0."},
      {"one class", State(1, 0), "Registered now: 1 class, to this file.",
       "Now registered to this file:\r\nClass: A.One.", "Still registered to this file:\r\nClass: A.One."},
      {"many classes, two type libraries", State(6, 2),
       "Registered now: 6 classes and 2 type libraries, to this file.",
       "Now registered to this file:\r\nClasses: A.One, B.Two, C.Three and 3 more.\r\n"
       "Type libraries: Lib 0 1.0 and Lib 1 1.0.",
       "Still registered to this file:\r\nClasses: A.One, B.Two, C.Three and 3 more.\r\n"
       "Type libraries: Lib 0 1.0 and Lib 1 1.0."},
      {"only a type library", State(0, 1), "Registered now: a type library, to this file.",
       "Now registered to this file:\r\nType library: Lib 0 1.0.",
       "Still registered to this file:\r\nType library: Lib 0 1.0."},
      {"nothing", State(0, 0), "Not registered.",
       "The control reported success, but nothing is registered to this file.",
       "Nothing points to this file any more."},
      {"a missing copy", WithCopy(State(0, 0), "C:\\old\\richtx32.ocx", false),
       "Registered to another copy: C:\\old\\richtx32.ocx (that file is missing).",
       "The control reported success, but nothing is registered to this file.\r\n"
       "Registered to another copy: C:\\old\\richtx32.ocx (that file is missing).",
       "Nothing points to this file any more.\r\n"
       "Registered to another copy: C:\\old\\richtx32.ocx (that file is missing)."},
      {"an existing copy beside this file's class", WithCopy(State(1, 0), "C:\\old\\richtx32.ocx", true),
       "Registered now: 1 class, to this file. Registered to another copy: C:\\old\\richtx32.ocx.",
       "Now registered to this file:\r\nClass: A.One.\r\nRegistered to another copy: C:\\old\\richtx32.ocx.",
       "Still registered to this file:\r\nClass: A.One.\r\nRegistered to another copy: C:\\old\\richtx32.ocx."},
      {"not read", RegistrationState{}, "", "", ""},
  };
  return cases;
}

class StateTexts : public ::testing::TestWithParam<TextCase> {};

TEST_P(StateTexts, EachStateReadsAsItIs) {
  const TextCase& c = GetParam();
  EXPECT_EQ(ConfirmationLine(c.state), c.confirmation);
  EXPECT_EQ(AfterRegisteringText(c.state, true), c.afterRegistering);
  EXPECT_EQ(AfterUnregisteringText(c.state), c.afterUnregistering);
}

INSTANTIATE_TEST_SUITE_P(Table, StateTexts, ::testing::ValuesIn(TextCases()),
                         [](const ::testing::TestParamInfo<TextCase>& info) {
                           std::string name = info.param.name;
                           for (char& ch : name)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

}  // namespace
}  // namespace ravlin
