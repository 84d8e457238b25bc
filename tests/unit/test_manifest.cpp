#include <gtest/gtest.h>

#include <ostream>

#include "sidebyside/Manifest.h"
#include "texts/ManifestTexts.h"

namespace ravlin {
namespace {

// --- The manifest's text: one table over the rules it is written by ---------------------

TypeLibrary Library(std::vector<TypeLibraryClass> classes, uint16_t flags = kLibFlagHasDiskImage) {
  TypeLibrary library;
  library.libid = "{L}";
  library.name = "Shapes";
  library.version = "1.12";
  library.flags = flags;
  library.classes = std::move(classes);
  return library;
}

struct ManifestCase {
  const char* name;
  std::vector<DescribedControl> controls;
  std::string files;  // the file elements
};
void PrintTo(const ManifestCase& c, std::ostream* os) { *os << c.name; }

constexpr char kTypelib[] = "    <typelib tlbid=\"{L}\" version=\"1.12\" flags=\"HASDISKIMAGE\" helpdir=\"\"/>\r\n";

const std::vector<ManifestCase>& ManifestCases() {
  static const std::vector<ManifestCase> cases = {
      {"unregistered control: the defaults, the control's display words",
       {{"shapes.ocx", Library({{"{A}", "Circle", true, true}}), {}}},
       std::string("  <file name=\"shapes.ocx\">\r\n") + kTypelib +
           "    <comClass clsid=\"{A}\" tlbid=\"{L}\" threadingModel=\"Apartment\" progid=\"Shapes.Circle\""
           " miscStatus=\"recomposeonresize,cantlinkinside,insideout,activatewhenvisible,setclientsitefirst\"/>\r\n"
           "  </file>\r\n"},
      {"registered to this file: the registry's words, spelt as the loader reads them",
       {{"shapes.ocx", Library({{"{A}", "Circle", true, false}}, kLibFlagControl | kLibFlagHidden),
         {{"{a}", "apartment", {"Shapes.Round", "Shapes.Round.2"}, 0x81}}}},
       "  <file name=\"shapes.ocx\">\r\n"
       "    <typelib tlbid=\"{L}\" version=\"1.12\" flags=\"CONTROL,HIDDEN\" helpdir=\"\"/>\r\n"
       "    <comClass clsid=\"{A}\" tlbid=\"{L}\" threadingModel=\"Apartment\" progid=\"Shapes.Round\""
       " miscStatus=\"recomposeonresize,insideout\">\r\n"
       "      <progid>Shapes.Round.2</progid>\r\n"
       "    </comClass>\r\n"
       "  </file>\r\n"},
      {"a non-creatable class left out; no flags, no attribute",
       {{"shapes.ocx", Library({{"{A}", "Reading", false, false}, {"{B}", "Maker", true, false}}, 0), {}}},
       "  <file name=\"shapes.ocx\">\r\n"
       "    <typelib tlbid=\"{L}\" version=\"1.12\" helpdir=\"\"/>\r\n"
       "    <comClass clsid=\"{B}\" tlbid=\"{L}\" threadingModel=\"Apartment\" progid=\"Shapes.Maker\"/>\r\n"
       "  </file>\r\n"},
      {"a ProgID two classes claim written once; a registered class without a model has none",
       {{"a.ocx", Library({{"{A}", "One", true, false}}), {{"{A}", "Both", {"Shared.Name"}, 0}}},
        {"b&c.ocx", Library({{"{B}", "Two", true, false}}), {{"{B}", "", {"shared.name"}, 0}}}},
       std::string("  <file name=\"a.ocx\">\r\n") + kTypelib +
           "    <comClass clsid=\"{A}\" tlbid=\"{L}\" threadingModel=\"Both\" progid=\"Shared.Name\"/>\r\n"
           "  </file>\r\n  <file name=\"b&amp;c.ocx\">\r\n" + kTypelib +
           "    <comClass clsid=\"{B}\" tlbid=\"{L}\"/>\r\n  </file>\r\n"},
  };
  return cases;
}

class ManifestTexts : public ::testing::TestWithParam<ManifestCase> {};

TEST_P(ManifestTexts, FollowsTheRules) {
  EXPECT_EQ(ManifestText({"My Old App.exe", GetParam().controls}),
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
            "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n"
            "  <assemblyIdentity type=\"win32\" name=\"My_Old_App\" version=\"1.0.0.0\" processorArchitecture=\"x86\"/>\r\n" +
                GetParam().files + "</assembly>\r\n");
}

INSTANTIATE_TEST_SUITE_P(Table, ManifestTexts, ::testing::ValuesIn(ManifestCases()));

// The texts the scenarios under Wine cannot reach: a 64-bit control, a copy
// that failed, and a write that failed after the earlier manifest was kept.
TEST(ManifestMessage, ReasonsWineDoesNotReach) {
  ManifestResult result;
  result.kind = ManifestResult::Kind::Written;
  result.manifestPath = "C:\\app\\a.exe.manifest";
  result.covered = {"x.ocx"};
  result.leftOut = {{"wide.ocx", LeftOutControl::Reason::Not32Bit, "C:\\s\\wide.ocx"},
                    {"locked.ocx", LeftOutControl::Reason::CopyFailed, "C:\\s\\locked.ocx"}};
  EXPECT_EQ(ManifestMessage(result),
            "Wrote C:\\app\\a.exe.manifest.\r\nIt covers x.ocx.\r\n\r\n"
            "The program now finds these controls without the registry and without administrator rights.\r\n\r\n"
            "Left out:\r\nwide.ocx: it is built for 64 bits, and the program runs as 32 bits (C:\\s\\wide.ocx).\r\n"
            "locked.ocx: it could not be copied beside the program (C:\\s\\locked.ocx).");
  result.kind = ManifestResult::Kind::WriteFailed;
  result.error = 5;
  result.keptAs = "C:\\app\\a.exe.manifest.bak";
  EXPECT_EQ(ManifestMessage(result), "The manifest could not be written (error 5).\r\n"
                                     "The earlier manifest is kept as C:\\app\\a.exe.manifest.bak.");
}

}  // namespace
}  // namespace ravlin
