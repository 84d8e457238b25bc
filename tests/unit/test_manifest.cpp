#include <gtest/gtest.h>

#include <ostream>

#include "Fakes.h"
#include "inspection/TypeLibrary.h"
#include "sidebyside/Manifest.h"
#include "texts/ManifestTexts.h"

namespace ravlin {
namespace {

// --- The manifest's text: one table over the rules it is written by ---------------------

constexpr char kHead[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n";
constexpr char kLib[] = "{11111111-0000-0000-0000-000000000001}";
constexpr char kA[] = "{AAAAAAAA-0000-0000-0000-000000000001}";
constexpr char kB[] = "{BBBBBBBB-0000-0000-0000-000000000002}";

TypeLibrary Library(std::vector<TypeLibraryClass> classes, uint16_t flags = kLibFlagHasDiskImage) {
  TypeLibrary library;
  library.libid = kLib;
  library.name = "Shapes";
  library.version = "1.12";
  library.flags = flags;
  library.classes = std::move(classes);
  return library;
}

struct ManifestCase {
  const char* name;
  ManifestRequest request;
  std::string body;  // between the assembly's identity and its end
};
void PrintTo(const ManifestCase& c, std::ostream* os) { *os << c.name; }

const std::vector<ManifestCase>& ManifestCases() {
  static const std::vector<ManifestCase> cases = {
      {"unregistered control: defaults, the control's display words",
       {"client.exe", {{"shapes.ocx", Library({{kA, "Circle", true, true}}), {}}}},
       "  <file name=\"shapes.ocx\">\r\n"
       "    <typelib tlbid=\"{11111111-0000-0000-0000-000000000001}\" version=\"1.12\" flags=\"HASDISKIMAGE\" helpdir=\"\"/>\r\n"
       "    <comClass clsid=\"{AAAAAAAA-0000-0000-0000-000000000001}\" tlbid=\"{11111111-0000-0000-0000-000000000001}\""
       " threadingModel=\"Apartment\" progid=\"Shapes.Circle\""
       " miscStatus=\"recomposeonresize,cantlinkinside,insideout,activatewhenvisible,setclientsitefirst\"/>\r\n"
       "  </file>\r\n"},
      {"registered to this file: the registry's words, spelt as the loader reads them",
       {"client.exe",
        {{"shapes.ocx", Library({{kA, "Circle", true, false}}, kLibFlagControl | kLibFlagHidden),
          {{"{aaaaaaaa-0000-0000-0000-000000000001}", "apartment", {"Shapes.Round", "Shapes.Round.2"}, 0x81}}}}},
       "  <file name=\"shapes.ocx\">\r\n"
       "    <typelib tlbid=\"{11111111-0000-0000-0000-000000000001}\" version=\"1.12\" flags=\"CONTROL,HIDDEN\" helpdir=\"\"/>\r\n"
       "    <comClass clsid=\"{AAAAAAAA-0000-0000-0000-000000000001}\" tlbid=\"{11111111-0000-0000-0000-000000000001}\""
       " threadingModel=\"Apartment\" progid=\"Shapes.Round\" miscStatus=\"recomposeonresize,insideout\">\r\n"
       "      <progid>Shapes.Round.2</progid>\r\n"
       "    </comClass>\r\n"
       "  </file>\r\n"},
      {"a non-creatable class is left out; a plain class has no display words; no flags, no attribute",
       {"client.exe", {{"shapes.ocx", Library({{kA, "Reading", false, false}, {kB, "Maker", true, false}}, 0), {}}}},
       "  <file name=\"shapes.ocx\">\r\n"
       "    <typelib tlbid=\"{11111111-0000-0000-0000-000000000001}\" version=\"1.12\" helpdir=\"\"/>\r\n"
       "    <comClass clsid=\"{BBBBBBBB-0000-0000-0000-000000000002}\" tlbid=\"{11111111-0000-0000-0000-000000000001}\""
       " threadingModel=\"Apartment\" progid=\"Shapes.Maker\"/>\r\n"
       "  </file>\r\n"},
      {"a ProgID two classes claim is written once, for the first; a class registered without one has none",
       {"client.exe",
        {{"a.ocx", Library({{kA, "One", true, false}}),
          {{kA, "Both", {"Shared.Name"}, 0}}},
         {"b&c.ocx", Library({{kB, "Two", true, false}}), {{kB, "", {"shared.name"}, 0}}}}},
       "  <file name=\"a.ocx\">\r\n"
       "    <typelib tlbid=\"{11111111-0000-0000-0000-000000000001}\" version=\"1.12\" flags=\"HASDISKIMAGE\" helpdir=\"\"/>\r\n"
       "    <comClass clsid=\"{AAAAAAAA-0000-0000-0000-000000000001}\" tlbid=\"{11111111-0000-0000-0000-000000000001}\""
       " threadingModel=\"Both\" progid=\"Shared.Name\"/>\r\n"
       "  </file>\r\n"
       "  <file name=\"b&amp;c.ocx\">\r\n"
       "    <typelib tlbid=\"{11111111-0000-0000-0000-000000000001}\" version=\"1.12\" flags=\"HASDISKIMAGE\" helpdir=\"\"/>\r\n"
       "    <comClass clsid=\"{BBBBBBBB-0000-0000-0000-000000000002}\" tlbid=\"{11111111-0000-0000-0000-000000000001}\"/>\r\n"
       "  </file>\r\n"},
  };
  return cases;
}

class ManifestTexts : public ::testing::TestWithParam<ManifestCase> {};

TEST_P(ManifestTexts, FollowsTheRules) {
  const ManifestCase& c = GetParam();
  const std::string identity =
      "  <assemblyIdentity type=\"win32\" name=\"client\" version=\"1.0.0.0\" processorArchitecture=\"x86\"/>\r\n";
  EXPECT_EQ(ManifestText(c.request), kHead + identity + c.body + "</assembly>\r\n");
}

INSTANTIATE_TEST_SUITE_P(Table, ManifestTexts, ::testing::ValuesIn(ManifestCases()));

TEST(ManifestIdentity, NamedAfterTheProgramInTheCharactersAnAssemblyNameHolds) {
  const std::string text = ManifestText({"My Old App.exe", {}});
  EXPECT_NE(text.find("name=\"My_Old_App\" version=\"1.0.0.0\""), std::string::npos) << text;
}

// --- The type library reader: what it makes of the platform's answer --------------------

struct LibraryCase {
  const char* name;
  std::string file;
  bool hasLibrary;
  std::vector<TypeLibraryClassAttributes> classes;
  std::string version;  // "" when not read
  std::vector<std::pair<bool, bool>> creatableAndControl;
  bool expectsClasses;
};
void PrintTo(const LibraryCase& c, std::ostream* os) { *os << c.name; }

const std::vector<LibraryCase>& LibraryCases() {
  static const std::vector<LibraryCase> cases = {
      {"a library with a control", "C:\\x\\a.dll", true, {{kA, "Gauge", kTypeFlagCanCreate | kTypeFlagControl}},
       "10.12", {{true, true}}, true},
      {"only a class that cannot be created", "C:\\x\\b.dll", true, {{kB, "Reading", 0}}, "10.12", {{false, false}},
       false},
      {"no type library", "C:\\x\\c.dll", false, {}, "", {}, false},
      {"no type library, but named a control", "C:\\x\\D.OCX", false, {}, "", {}, true},
  };
  return cases;
}

class TypeLibraryReader : public ::testing::TestWithParam<LibraryCase> {};

TEST_P(TypeLibraryReader, ReadsWhatTheLibraryDeclares) {
  const LibraryCase& c = GetParam();
  CallLog log;
  FakePlatform platform(log);
  if (c.hasLibrary) platform.typeLibraries[c.file] = {kLib, "Shapes", 10, 12, kLibFlagControl, c.classes};
  const TypeLibrary library = ReadTypeLibrary(platform, c.file);
  EXPECT_EQ(library.Read(), c.hasLibrary);
  EXPECT_EQ(library.version, c.version);
  ASSERT_EQ(library.classes.size(), c.creatableAndControl.size());
  for (size_t i = 0; i < library.classes.size(); ++i) {
    EXPECT_EQ(library.classes[i].creatable, c.creatableAndControl[i].first);
    EXPECT_EQ(library.classes[i].control, c.creatableAndControl[i].second);
  }
  EXPECT_EQ(ExpectsClasses(platform, c.file), c.expectsClasses);
}

INSTANTIATE_TEST_SUITE_P(Table, TypeLibraryReader, ::testing::ValuesIn(LibraryCases()));

// --- What the user reads after asking for the manifest -----------------------------------
// (Nothing written for want of a control, and for the program's own manifest: end to end.)

ManifestResult Result(ManifestResult::Kind kind) {
  ManifestResult result;
  result.kind = kind;
  result.manifestPath = "C:\\app\\client.exe.manifest";
  return result;
}

ManifestResult WrittenWithEverything() {
  using Reason = LeftOutControl::Reason;
  ManifestResult result = Result(ManifestResult::Kind::Written);
  result.covered = {"wshom.ocx", "described.ocx"};
  result.copied = {"C:\\app\\wshom.ocx"};
  result.keptAs = "C:\\app\\client.exe.manifest.bak";
  result.leftOut = {{"GONE.OCX", Reason::NotFound, ""},
                    {"server.ocx", Reason::NoTypeLibrary, "C:\\sys\\server.ocx"},
                    {"wide.ocx", Reason::Not32Bit, "C:\\sys\\wide.ocx"},
                    {"old.ocx", Reason::DifferentCopy, "C:\\app\\old.ocx"},
                    {"locked.ocx", Reason::CopyFailed, "C:\\sys\\locked.ocx"}};
  return result;
}

struct MessageCase {
  const char* name;
  ManifestResult result;
  std::string message;
};
void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.name; }

const std::vector<MessageCase>& MessageCases() {
  static const std::vector<MessageCase> cases = {
      {"written, with a copy, the earlier manifest kept and each reason to leave a control out",
       WrittenWithEverything(),
       "Wrote C:\\app\\client.exe.manifest.\r\n"
       "It covers wshom.ocx, described.ocx.\r\n"
       "Copied beside the program: C:\\app\\wshom.ocx.\r\n"
       "The earlier manifest is kept as C:\\app\\client.exe.manifest.bak.\r\n\r\n"
       "The program now finds these controls without the registry and without administrator rights.\r\n\r\n"
       "Left out:\r\n"
       "GONE.OCX: found neither beside the program nor in the system folder.\r\n"
       "server.ocx: it has no type library to say its classes (C:\\sys\\server.ocx).\r\n"
       "wide.ocx: it is built for 64 bits, and the program runs as 32 bits (C:\\sys\\wide.ocx).\r\n"
       "old.ocx: another file of that name is beside the program already, and was left as it is "
       "(C:\\app\\old.ocx).\r\n"
       "locked.ocx: it could not be copied beside the program (C:\\sys\\locked.ocx)."},
      {"a manifest and its kept copy both there", Result(ManifestResult::Kind::BackupInTheWay),
       "Nothing was written: C:\\app\\client.exe.manifest and its kept copy "
       "C:\\app\\client.exe.manifest.bak are both there already. Move one of them away, so that neither is lost."},
      {"the write failed", Result(ManifestResult::Kind::WriteFailed), "The manifest could not be written (error 0)."},
  };
  return cases;
}

class ManifestMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(ManifestMessages, SayWhatHappened) { EXPECT_EQ(ManifestMessage(GetParam().result), GetParam().message); }

INSTANTIATE_TEST_SUITE_P(Table, ManifestMessages, ::testing::ValuesIn(MessageCases()));

}  // namespace
}  // namespace ravlin
