#include <gtest/gtest.h>

#include <map>
#include <ostream>

#include "Fakes.h"
#include "sidebyside/Manifest.h"
#include "sidebyside/ManifestWriter.h"
#include "texts/ManifestTexts.h"

namespace ravlin {
namespace {

// --- The manifest's text: one table over the rules it is written by ---------------------

ControlDescription Described(std::vector<ClassRegistration> classes, uint16_t flags = kLibFlagHasDiskImage) {
  ControlDescription description;
  description.source = ControlDescription::Source::Capture;
  description.libraries = {{"{L}", "1.12", flags}};
  description.classes = std::move(classes);
  return description;
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
      {"the control's own words, spelt as the loader reads them",
       {{"shapes.ocx", Described({{"{A}", "apartment", {"Shapes.Round", "Shapes.Round.2"}, 0x81, "{L}"}},
                                 kLibFlagControl | kLibFlagHidden)}},
       "  <file name=\"shapes.ocx\">\r\n"
       "    <typelib tlbid=\"{L}\" version=\"1.12\" flags=\"CONTROL,HIDDEN\" helpdir=\"\"/>\r\n"
       "    <comClass clsid=\"{A}\" tlbid=\"{L}\" threadingModel=\"Apartment\" progid=\"Shapes.Round\""
       " miscStatus=\"recomposeonresize,insideout\">\r\n"
       "      <progid>Shapes.Round.2</progid>\r\n"
       "    </comClass>\r\n"
       "  </file>\r\n"},
      {"no flags, no attribute; a class naming no library is the one library's",
       {{"shapes.ocx", Described({{"{B}", "Apartment", {"Shapes.Maker"}, 0, ""}}, 0)}},
       "  <file name=\"shapes.ocx\">\r\n"
       "    <typelib tlbid=\"{L}\" version=\"1.12\" helpdir=\"\"/>\r\n"
       "    <comClass clsid=\"{B}\" tlbid=\"{L}\" threadingModel=\"Apartment\" progid=\"Shapes.Maker\"/>\r\n"
       "  </file>\r\n"},
      {"a ProgID two classes claim written once; a class without a model has none",
       {{"a.ocx", Described({{"{A}", "Both", {"Shared.Name"}, 0, "{L}"}})},
        {"b&c.ocx", Described({{"{B}", "", {"shared.name"}, 0, "{L}"}})}},
       std::string("  <file name=\"a.ocx\">\r\n") + kTypelib +
           "    <comClass clsid=\"{A}\" tlbid=\"{L}\" threadingModel=\"Both\" progid=\"Shared.Name\"/>\r\n"
           "  </file>\r\n  <file name=\"b&amp;c.ocx\">\r\n" + kTypelib +
           "    <comClass clsid=\"{B}\" tlbid=\"{L}\"/>\r\n  </file>\r\n"},
      {"a control that registers no library: its classes alone",
       {{"plain.ocx", ControlDescription{ControlDescription::Source::Capture, {},
                                         {{"{C}", "Free", {}, 0, ""}}, 0, {}, 0}}},
       "  <file name=\"plain.ocx\">\r\n    <comClass clsid=\"{C}\" threadingModel=\"Free\"/>\r\n  </file>\r\n"},
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
// that failed, a capture past the limit, and a write that failed after the
// earlier manifest was kept (and could not be put back).
TEST(ManifestMessage, ReasonsWineDoesNotReach) {
  using Reason = LeftOutControl::Reason;
  ManifestResult result;
  result.kind = ManifestResult::Kind::Written;
  result.manifestPath = "C:\\app\\a.exe.manifest";
  result.covered = {"x.ocx"};
  result.describedInstead = {{"x.ocx", ControlDescription::CaptureFailure::TimedOut, 0, true}};
  result.leftOut = {{"wide.ocx", Reason::Not32Bit, "C:\\s\\wide.ocx", 0, {}, {}, {}},
                    {"locked.ocx", Reason::CopyFailed, "C:\\s\\locked.ocx", 32, "In use.", {}, {}}};
  EXPECT_EQ(ManifestMessage(result),
            "Wrote C:\\app\\a.exe.manifest.\r\nIt covers x.ocx.\r\n\r\n"
            "The program now finds these controls without the registry and without administrator rights.\r\n\r\n"
            "What the control registers could not be caught:\r\n"
            "x.ocx: its registration ran past 10 seconds; described from its type library.\r\n\r\n"
            "Left out:\r\nwide.ocx: it is built for 64 bits, and the program runs as 32 bits (C:\\s\\wide.ocx).\r\n"
            "locked.ocx: it could not be copied beside the program (error 32: In use.) (C:\\s\\locked.ocx).");
  result.kind = ManifestResult::Kind::WriteFailed;
  result.error = 5;
  result.errorWords = "Access denied.";
  result.leftOut.clear();
  result.describedInstead.clear();
  result.keptAs = "C:\\app\\a.exe.manifest.bak";
  EXPECT_EQ(ManifestMessage(result), "The manifest could not be written (error 5): Access denied.\r\n"
                                     "The earlier manifest is kept as C:\\app\\a.exe.manifest.bak.");
}

// --- The writer: whole or not at all, failing at each step --------------------------------

// A folder's files by path, and the one step that fails ("create", "write" or
// "move" of a file written under its own name). An open file cannot go.
struct FolderPlatform : FakePlatform {
  explicit FolderPlatform(CallLog& log) : FakePlatform(log) {
    onGetFileAttributesA = [this](const char* path) { return files.count(path) ? 0x20u : kInvalidFileAttributes; };
  }
  Handle CreateFileA(const char* name, uint32_t access, uint32_t share, uint32_t how, uint32_t flags) override {
    if (!(access & kGenericWrite)) return FakePlatform::CreateFileA(name, access, share, how, flags);
    lastError = files.count(name) ? 80 : 5;
    if (failAt == "create" || files.count(name)) return InvalidHandleValue();
    files[name];
    const Handle file = reinterpret_cast<Handle>(static_cast<intptr_t>(0xA000 + open.size()));
    open[file] = name;
    return file;
  }
  int32_t WriteFile(Handle file, const void* data, uint32_t size, uint32_t* written) override {
    *written = failAt == "write" ? size / 2 : size;  // the disk full half-way
    files[open[file]].append(static_cast<const char*>(data), *written);
    lastError = 112;
    return *written == size;
  }
  int32_t CloseHandle(Handle file) override { return open.erase(file) ? 1 : FakePlatform::CloseHandle(file); }
  int32_t MoveFileA(const char* from, const char* to) override {
    const std::string source = from;
    lastError = 5;
    if (!files.count(source) || files.count(to) || (failAt == "move" && source.rfind(".tmp") == source.size() - 4))
      return 0;
    files[to] = files[source];
    files.erase(source);
    return 1;
  }
  int32_t DeleteFileA(const char* path) override {
    for (const auto& file : open)
      if (file.second == path) return 0;
    return files.erase(path) ? 1 : 0;
  }
  std::map<std::string, std::string> files;
  std::map<Handle, std::string> open;
  std::string failAt;
};

TEST(ManifestWriter, LeavesNoPartOfAFileAndTheEarlierManifestUnderItsName) {
  constexpr char kPath[] = "C:\\App\\app.exe.manifest";
  const std::string bak = std::string(kPath) + ".bak", whole = "whole";
  const struct {
    const char* failAt;
    bool earlier;  // a manifest of the user's own is there
    std::map<std::string, std::string> after;  // "whole" for the new manifest, all of it
  } rows[] = {
      {"", true, {{kPath, whole}, {bak, "earlier"}}},
      {"create", true, {{kPath, "earlier"}}},
      {"write", false, {}},
      {"write", true, {{kPath, "earlier"}}},
      {"move", false, {}},
      {"move", true, {{kPath, "earlier"}}},
  };
  for (const auto& row : rows) {
    CallLog log;
    FolderPlatform platform(log);
    platform.failAt = row.failAt;
    if (row.earlier) platform.files[kPath] = "earlier";
    ManifestPlan plan;
    plan.result.manifestPath = kPath;
    plan.placements = {{"my.ocx", "C:\\App\\my.ocx", "C:\\App\\my.ocx", {}}};
    const ManifestResult result =
        WriteManifest(platform, plan, {Described({{"{A}", "Apartment", {"My.Control"}, 0, "{L}"}})});
    const std::string text = ManifestText({"app.exe", {{"my.ocx", Described({{"{A}", "Apartment", {"My.Control"}, 0, "{L}"}})}}});
    for (auto& file : platform.files)
      if (file.second == text) file.second = whole;
    EXPECT_EQ(platform.files, row.after) << row.failAt << (row.earlier ? ", with an earlier one" : "");
    EXPECT_EQ(result.kind == ManifestResult::Kind::Written, *row.failAt == '\0') << row.failAt;
  }
}

}  // namespace
}  // namespace ravlin
