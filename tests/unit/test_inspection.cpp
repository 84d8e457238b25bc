#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "Fakes.h"
#include "FormProbe.h"
#include "PeImageBuilder.h"
#include "VersionBlockBuilder.h"
#include "inspection/PlatformFile.h"
#include "inspection/VersionBlock.h"
#include "inspection/VersionSummary.h"

namespace ravlin {
namespace {

using block::Chars;
using block::VersionBlock;

const char kFile[] = "C:\\controls\\some.ocx";

std::string FormName(Chars chars) { return chars == Chars::Eight ? "8-bit" : "16-bit"; }

// The fake file reports `size` bytes of version information and reads the
// block into the first of them.
void Serve(FakeWindow& w, const std::string& data, uint32_t size) {
  w.platform.onGetFileVersionInfoSizeA = [size](const char*, uint32_t*) { return size; };
  w.platform.onGetFileVersionInfoA = [data](const char*, uint32_t, uint32_t length, void* out) {
    std::copy_n(data.begin(), std::min<size_t>(length, data.size()), static_cast<char*>(out));
    return 1;
  };
}
void Serve(FakeWindow& w, const std::string& data) {
  Serve(w, data, static_cast<uint32_t>(data.size()));
}

VersionSummary Read(FakeWindow& w) { return ReadVersionSummary(w.platform, kFile); }

void Remember(FakeWindow& w, const std::string& company, const std::string& version) {
  FormProbe::CompanyName(w.form) = company;
  FormProbe::ProductVersion(w.form) = version;
}

// --- The search over blocks in both forms -------------------------------------------------

struct TableCase {
  const char* name;
  std::vector<block::Table> tables;
  bool companyFound;
  std::string company;
  bool versionFound;
  std::string version;
  bool result;
};

const std::vector<TableCase>& TableCases() {
  static const std::vector<TableCase> cases = {
      {"company of 21 characters", {{{"CompanyName", "Ravlin Controls, Inc."}, {"ProductVersion", "1.0"}}},
       true, "Ravlin Controls, Inc.", true, "1.0", true},
      {"company longer than 21", {{{"CompanyName", "Ravlin Test Controls Incorporated"}, {"ProductVersion", "4.2.1.7"}}},
       true, "Ravlin Test Controls Incorporated", true, "4.2.1.7", true},
      {"company shorter than 21", {{{"CompanyName", "Ravlin"}, {"FileDescription", "A control"}, {"ProductVersion", "2"}}},
       true, "Ravlin", true, "2", true},
      {"no company", {{{"FileDescription", "A control"}, {"ProductVersion", "5.0"}}},
       false, "", true, "5.0", true},
      {"company but no version", {{{"CompanyName", "Ravlin"}, {"FileVersion", "5.0"}}},
       true, "Ravlin", false, "", false},
      {"keys with other capitals", {{{"Companyname", "Ravlin"}, {"PRODUCTVERSION", "5.0"}, {"productVersion", "6"}}},
       false, "", false, "", false},
      {"first of two string tables wins",
       {{{"CompanyName", "Ravlin English"}, {"FileVersion", "1.0"}},
        {{"CompanyName", "Ravlin Deutsch"}, {"ProductVersion", "2.0"}}},
       true, "Ravlin English", true, "2.0", true},
      {"keys inside another entry's value",
       {{{"Comments", "CompanyName:Fake Corp ProductVersion: 9.9"}, {"CompanyName", "Ravlin"}, {"ProductVersion", "1.0"}}},
       true, "Fake Corp ProductVersion: 9.9", true, "9.9", true},
      {"empty version", {{{"CompanyName", "Ravlin"}, {"ProductVersion", ""}, {"Comments", "x"}}},
       true, "Ravlin", true, "", false},
      {"version only spaces", {{{"ProductVersion", "   "}}}, false, "", true, "   ", false},
      {"version padded with spaces", {{{"ProductVersion", " 3.0 "}}}, false, "", true, " 3.0 ", true},
      {"version a tab, which is not a space", {{{"ProductVersion", "\t"}}}, false, "", true, "\t", true},
  };
  return cases;
}

// The value's characters, each 16-bit one narrowed to its low byte.
std::string Text(const VersionValue& value) {
  if (!value.wide) return value.text;
  std::string text;
  for (char16_t unit : value.wideText) text.push_back(static_cast<char>(unit));
  return text;
}

TEST(VersionBlock, FindsTheFirstValueOfEachKeyUpToItsNulInBothForms) {
  for (Chars chars : {Chars::Eight, Chars::Sixteen}) {
    for (const TableCase& c : TableCases()) {
      SCOPED_TRACE(FormName(chars) + ": " + c.name);
      const VersionStrings found = FindVersionStrings(VersionBlock(chars, c.tables));
      const bool wide = chars == Chars::Sixteen;
      EXPECT_EQ(found.company.found, c.companyFound);
      EXPECT_EQ(found.version.found, c.versionFound);
      EXPECT_EQ(found.company.wide, c.companyFound && wide);
      EXPECT_EQ(found.version.wide, c.versionFound && wide);
      EXPECT_EQ(Text(found.company), c.company);
      EXPECT_EQ(Text(found.version), c.version);
    }
  }
}

TEST(VersionBlock, TellsTheFormFromTheRootKey) {
  EXPECT_EQ(FormOf(VersionBlock(Chars::Eight, {{}})), BlockForm::Narrow);
  EXPECT_EQ(FormOf(VersionBlock(Chars::Sixteen, {{}})), BlockForm::Wide);
  EXPECT_EQ(FormOf(std::string(200, '\0')), BlockForm::Unknown);
  EXPECT_EQ(FormOf(""), BlockForm::Unknown);
  // The root key one byte off its place is neither form.
  EXPECT_EQ(FormOf(std::string(1, '\0') + VersionBlock(Chars::Eight, {{}})), BlockForm::Unknown);
  EXPECT_EQ(FormOf(VersionBlock(Chars::Sixteen, {{}}).substr(2)), BlockForm::Unknown);
  // Cut inside the root key.
  EXPECT_EQ(FormOf(VersionBlock(Chars::Eight, {{}}).substr(0, 18)), BlockForm::Unknown);
  EXPECT_EQ(FormOf(VersionBlock(Chars::Sixteen, {{}}).substr(0, 35)), BlockForm::Unknown);
}

// Cuts the block right behind the first occurrence of `marker` plus `extra` bytes.
std::string CutAfter(const std::string& data, const std::string& marker, size_t extra) {
  const size_t at = data.find(marker);
  if (at == std::string::npos) throw std::logic_error("marker not in block");
  return data.substr(0, at + marker.size() + extra);
}

std::string Wide(const std::string& text) {
  std::string out;
  for (char c : text) {
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

TEST(VersionBlock, NeverReadsPastTheEndOfTheBlock) {
  const block::Table table = {{"CompanyName", "Ravlin"}, {"ProductVersion", "4.2.1.7"}};
  const std::string narrow = VersionBlock(Chars::Eight, {table});
  const std::string wide = VersionBlock(Chars::Sixteen, {table});

  // The block ends behind the key's NUL: the value lies outside.
  VersionStrings found = FindVersionStrings(CutAfter(narrow, "ProductVersion", 1));
  EXPECT_TRUE(found.version.found);
  EXPECT_EQ(found.version.text, "");
  found = FindVersionStrings(CutAfter(wide, Wide("ProductVersion"), 2));
  EXPECT_TRUE(found.version.found);
  EXPECT_EQ(found.version.wideText, u"");

  // The block ends inside the value, before its NUL: the value to the end.
  found = FindVersionStrings(CutAfter(narrow, "ProductVersion", 2 + 3));
  EXPECT_EQ(found.version.text, "4.2");
  found = FindVersionStrings(CutAfter(wide, Wide("ProductVersion"), 2 + 6));
  EXPECT_EQ(found.version.wideText, u"4.2");
  // An odd last byte is half a character and is not taken.
  found = FindVersionStrings(CutAfter(wide, Wide("ProductVersion"), 2 + 7));
  EXPECT_EQ(found.version.wideText, u"4.2");

  // The block ends inside the key itself.
  found = FindVersionStrings(CutAfter(narrow, "ProductVers", 0));
  EXPECT_FALSE(found.version.found);
  found = FindVersionStrings(CutAfter(wide, Wide("ProductVers"), 1));
  EXPECT_FALSE(found.version.found);
}

TEST(VersionBlock, SixteenBitKeysAreMatchedOnlyOnCharacterBoundaries) {
  // The same bytes shifted by one make "CompanyName" stand on odd offsets.
  std::string data = VersionBlock(Chars::Sixteen, {{{"CompanyName", "Ravlin"}}});
  const size_t at = data.find(Wide("CompanyName"));
  data.insert(at, 1, 'x');
  const VersionStrings found = FindVersionStrings(data);
  EXPECT_FALSE(found.company.found);
}

TEST(VersionBlock, SixteenBitValueStartsOnTheNextFourByteBoundaryOfTheBlock) {
  // A key whose NUL ends on a 4-byte boundary gets no padding; one that ends
  // 2 bytes past it gets two. A wrong rounding takes a NUL or the padding.
  std::string data = VersionBlock(Chars::Sixteen, {{{"CompanyName", "Ravlin"}}});
  const size_t key = data.find(Wide("CompanyName"));
  ASSERT_EQ((key + 24) % 4, 2u);
  EXPECT_EQ(FindVersionStrings(data).company.wideText, u"Ravlin");
  // Two more bytes in front of the key put its NUL's end on a boundary; the
  // value then follows the NUL directly.
  std::string moved = data.substr(0, key);
  moved += std::string(2, '\0') + Wide("CompanyName") + std::string(2, '\0') + Wide("Moved") +
           std::string(2, '\0');
  ASSERT_EQ((key + 2 + 24) % 4, 0u);
  EXPECT_EQ(FindVersionStrings(moved).company.wideText, u"Moved");
}

TEST(VersionBlock, BlockOfNeitherFormIsSearchedInEightBitCharacters) {
  std::string data(8, '\x7f');
  data += std::string("CompanyName") + '\0' + "Ravlin" + '\0' + "ProductVersion" + std::string(2, '\0') +
          "6.1" + '\0';
  ASSERT_EQ(FormOf(data), BlockForm::Unknown);
  const VersionStrings found = FindVersionStrings(data);
  EXPECT_FALSE(found.company.wide);
  EXPECT_EQ(found.company.text, "Ravlin");
  EXPECT_EQ(found.version.text, "6.1");

  const VersionStrings none = FindVersionStrings(std::string(512, '\0'));
  EXPECT_FALSE(none.company.found);
  EXPECT_FALSE(none.version.found);
}

TEST(VersionBlock, KeysFarIntoALargeBlockAreFound) {
  for (Chars chars : {Chars::Eight, Chars::Sixteen}) {
    SCOPED_TRACE(FormName(chars));
    // Past 32767 bytes, yet within what an entry's 16-bit length can hold.
    const std::string padding(chars == Chars::Eight ? 33000 : 17000, 'p');
    const std::string data =
        VersionBlock(chars, {{{"Comments", padding}, {"CompanyName", "Far"}, {"ProductVersion", "7.7"}}});
    ASSERT_GT(data.find(chars == Chars::Eight ? std::string("CompanyName") : Wide("CompanyName")), 32767u);
    const VersionStrings found = FindVersionStrings(data);
    EXPECT_TRUE(found.company.found);
    EXPECT_TRUE(found.version.found);
    EXPECT_EQ(Text(found.company), "Far");
    EXPECT_EQ(Text(found.version), "7.7");
  }
}

// --- The version summary through the platform --------------------------------------------------

TEST(ReadVersionInfo, AsksForTheSizeThenReadsABufferOfExactlyThatSize) {
  FakeWindow w;
  const std::string data = VersionBlock(Chars::Eight, {{{"ProductVersion", "1.0"}}});
  const auto size = static_cast<uint32_t>(data.size() + 100);  // the platform asks for spare room
  w.platform.onGetFileVersionInfoSizeA = [&](const char*, uint32_t* handle) {
    EXPECT_NE(handle, nullptr);
    return size;
  };
  w.platform.onGetFileVersionInfoA = [&](const char* name, uint32_t handle, uint32_t length, void* out) {
    EXPECT_STREQ(name, kFile);
    EXPECT_EQ(handle, 0u);
    const std::string before(static_cast<const char*>(out), length);
    EXPECT_EQ(before, std::string(size, '\0'));
    std::copy(data.begin(), data.end(), static_cast<char*>(out));
    return 7;
  };
  const VersionSummary summary = Read(w);
  EXPECT_TRUE(summary.HasVersion());
  EXPECT_EQ(w.log.WithPrefix("GetFileVersionInfo"),
            (std::vector<std::string>{std::string("GetFileVersionInfoSizeA:") + kFile,
                                      std::string("GetFileVersionInfoA:") + kFile + "|" +
                                          std::to_string(size)}));
  EXPECT_EQ(summary.readResult, 7);
  EXPECT_EQ(summary.version, "1.0");
}

// No block: the window keeps what it showed before, and its status value holds the read's answer.
TEST(ReadVersionInfo, KeepsTheFieldsWhenTheSizeOrTheReadFails) {
  struct Case {
    const char* name;
    std::function<void(FakeWindow&)> script;
    bool readCalled;
    std::optional<int64_t> apiResult;
  };
  const std::vector<Case> cases = {
      {"no version information", [](FakeWindow& w) { w.platform.onGetFileVersionInfoSizeA = nullptr; },
       false, 99},
      {"size fails", [](FakeWindow& w) {
         w.platform.onGetFileVersionInfoSizeA = [](const char*, uint32_t*) -> uint32_t {
           throw ToolkitError("File not found");
         };
       }, false, 99},
      {"read returns 0", [](FakeWindow& w) {
         w.platform.onGetFileVersionInfoA = [](const char*, uint32_t, uint32_t, void* out) {
           static_cast<char*>(out)[0] = 'x';
           return 0;
         };
       }, true, 0},
      {"read fails", [](FakeWindow& w) {
         w.platform.onGetFileVersionInfoA = [](const char*, uint32_t, uint32_t, void*) -> int32_t {
           throw ToolkitError("Bad file name or number");
         };
       }, true, 99},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeWindow w;
    Serve(w, VersionBlock(Chars::Sixteen, {{{"CompanyName", "New"}, {"ProductVersion", "2.0"}}}));
    c.script(w);
    Remember(w, "Old Company", "1.0");
    FormProbe::ApiResult(w.form) = 99;
    EXPECT_FALSE(Read(w).blockRead);
    FormProbe::ShowFileInfo(w.form, kFile);
    EXPECT_EQ(FormProbe::CompanyName(w.form), "Old Company");
    EXPECT_EQ(FormProbe::ProductVersion(w.form), "1.0");
    EXPECT_EQ(FormProbe::ApiResult(w.form), c.apiResult);
    EXPECT_EQ(w.log.FindPrefix("GetFileVersionInfoA:") >= 0, c.readCalled);
  }
}

TEST(ReadVersionInfo, ClearsBothFieldsAfterASuccessfulRead) {
  for (const std::string& data : {std::string(64, '\0'),
                                  VersionBlock(Chars::Sixteen, {{{"FileVersion", "1.0"}}}),
                                  VersionBlock(Chars::Eight, {{{"CompanyName", "Ravlin"}}})}) {
    FakeWindow w;
    Serve(w, data);
    Remember(w, "Old Company", "1.0");
    EXPECT_FALSE(Read(w).HasVersion());
    FormProbe::ShowFileInfo(w.form, kFile);
    EXPECT_EQ(FormProbe::ProductVersion(w.form), "");
    EXPECT_NE(FormProbe::CompanyName(w.form), "Old Company");
  }
}

TEST(ReadVersionInfo, TrueExactlyWhenTheVersionIsNotBlank) {
  for (Chars chars : {Chars::Eight, Chars::Sixteen}) {
    for (const TableCase& c : TableCases()) {
      SCOPED_TRACE(FormName(chars) + ": " + c.name);
      FakeWindow w;
      Serve(w, VersionBlock(chars, c.tables));
      const VersionSummary summary = Read(w);
      EXPECT_EQ(summary.HasVersion(), c.result);
      EXPECT_EQ(summary.company, c.company);
      EXPECT_EQ(summary.version, c.version);
    }
  }
}

// A Latin-1 code page: every 16-bit character below 0x100 is the byte of the same number.
int32_t Latin1(uint32_t, uint32_t, const char16_t* text, int32_t length, char* out, int32_t outLength,
               const char*, int32_t*) {
  if (outLength == 0) return length;
  for (int32_t i = 0; i < length; ++i) out[i] = static_cast<char>(text[i]);
  return length;
}

TEST(ReadVersionInfo, SixteenBitValuesBecomeAnsiTextThroughThePlatform) {
  FakeWindow w;
  // "Ravlin Gruß" and a version with a character no code page holds.
  std::string data = VersionBlock(Chars::Sixteen, {{{"CompanyName", "Ravlin Gru\xDF"}, {"ProductVersion", "1.0"}}});
  Serve(w, data);
  EXPECT_EQ(Read(w).company, "Ravlin Gru?");  // the fake's code page has no sharp s
  EXPECT_EQ(w.log.WithPrefix("WideCharToMultiByte:0|11|").size(), 2u);  // measure, then convert

  FakeWindow cp;
  Serve(cp, data);
  cp.platform.onWideCharToMultiByte = [](uint32_t codePage, uint32_t flags, const char16_t* text,
                                         int32_t length, char* out, int32_t outLength, const char*,
                                         int32_t*) {
    EXPECT_EQ(codePage, kCpAcp);
    return Latin1(codePage, flags, text, length, out, outLength, nullptr, nullptr);
  };
  const VersionSummary summary = Read(cp);
  EXPECT_EQ(summary.company, "Ravlin Gru\xDF");
  EXPECT_EQ(summary.version, "1.0");
}

TEST(ReadVersionInfo, AFailedConversionLeavesThatFieldEmptyAndTheOtherStands) {
  FakeWindow w;
  Serve(w, VersionBlock(Chars::Sixteen, {{{"CompanyName", "Ravlin"}, {"ProductVersion", "1.0"}}}));
  w.platform.onWideCharToMultiByte = [](uint32_t codePage, uint32_t flags, const char16_t* text,
                                        int32_t length, char* out, int32_t outLength, const char*,
                                        int32_t*) {
    if (text[0] == u'R') return 0;  // the company cannot be converted
    return Latin1(codePage, flags, text, length, out, outLength, nullptr, nullptr);
  };
  const VersionSummary summary = Read(w);
  EXPECT_TRUE(summary.HasVersion());
  EXPECT_EQ(summary.company, "");
  EXPECT_EQ(summary.version, "1.0");
}

TEST(ReadVersionInfo, AKeySoNearTheEndThatItsValueLiesOutside) {
  for (Chars chars : {Chars::Eight, Chars::Sixteen}) {
    SCOPED_TRACE(FormName(chars));
    const std::string data = VersionBlock(chars, {{{"CompanyName", "Ravlin"}, {"ProductVersion", "1.0"}}});
    const std::string key = chars == Chars::Eight ? std::string("ProductVersion") : Wide("ProductVersion");
    FakeWindow w;
    Serve(w, CutAfter(data, key, chars == Chars::Eight ? 1 : 2));
    const VersionSummary summary = Read(w);
    EXPECT_FALSE(summary.HasVersion());
    EXPECT_EQ(summary.company, "Ravlin");
    EXPECT_EQ(summary.version, "");
  }
}

// --- ShowFileInfo ---------------------------------------------------------------------------

TEST(ShowFileInfo, CaptionsForEachOutcomeWithTheVisibilitySetFirst) {
  struct Case {
    const char* name;
    std::string data;
    bool visible;
    std::string caption;
  };
  const std::vector<Case> cases = {
      {"company and version",
       VersionBlock(Chars::Sixteen, {{{"CompanyName", "Ravlin Test Controls Incorporated"}, {"ProductVersion", "4.2.1.7"}}}),
       true, "Company Name:  Ravlin Test Controls Incorporated\r\nProduct Version:  4.2.1.7"},
      {"version but no company", VersionBlock(Chars::Eight, {{{"ProductVersion", "4.2"}}}),
       true, "Company Name:  \r\nProduct Version:  4.2"},
      {"company but no version", VersionBlock(Chars::Eight, {{{"CompanyName", "Ravlin"}}}),
       false, "(No Product Version available for this file)"},
      {"version only spaces", VersionBlock(Chars::Sixteen, {{{"ProductVersion", "  "}}}),
       false, "(No Product Version available for this file)"},
      {"no version information", "", false, "(No Product Version available for this file)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeWindow w;
    if (!c.data.empty()) Serve(w, c.data);
    FormProbe::ShowFileInfo(w.form, kFile);
    EXPECT_EQ(w.form.lblPleaseVerify.Visible(), c.visible);
    EXPECT_EQ(w.form.lblFileInfo.Caption(), c.caption);
    const int visibility = w.log.Find(std::string("lblPleaseVerify.Visible=") + (c.visible ? "1" : "0"));
    const int caption = w.log.Find("lblFileInfo.Text=" + c.caption);
    ASSERT_GE(visibility, 0);
    ASSERT_GE(caption, 0);
    EXPECT_LT(visibility, caption);
    EXPECT_LT(w.log.FindPrefix("GetFileVersionInfoSizeA:"), visibility);
  }
}

TEST(ShowFileInfo, ASecondFileReplacesTheWholeSummary) {
  FakeWindow w;
  Serve(w, VersionBlock(Chars::Eight, {{{"CompanyName", "First"}, {"ProductVersion", "1.0"}}}));
  FormProbe::ShowFileInfo(w.form, "first.ocx");
  ASSERT_TRUE(w.form.lblPleaseVerify.Visible());
  Serve(w, VersionBlock(Chars::Sixteen, {{{"ProductVersion", "2.0"}}}));
  FormProbe::ShowFileInfo(w.form, "second.ocx");
  EXPECT_EQ(w.form.lblFileInfo.Caption(), "Company Name:  \r\nProduct Version:  2.0");
  Serve(w, std::string(32, '\0'));
  FormProbe::ShowFileInfo(w.form, "third.ocx");
  EXPECT_FALSE(w.form.lblPleaseVerify.Visible());
  EXPECT_EQ(w.form.lblFileInfo.Caption(), "(No Product Version available for this file)");
}

// --- The committed 8-bit fixture block ------------------------------------------------------

// The block of the 8-bit fixture DLL, laid out by the builder.
std::string NarrowFixtureBlock() {
  return VersionBlock(Chars::Eight, {{{"CompanyName", "Ravlin Narrow Block Works"},
                                      {"FileDescription", "Ravlin 8-bit version fixture"},
                                      {"ProductVersion", "3.1.4"}}});
}

std::string SourcePath(const std::string& relative) {
  std::string path = __FILE__;
  path.erase(path.find_last_of("/\\") + 1);
  return path + "../" + relative;
}

TEST(VersionFixture, TheCommittedEightBitBlockIsTheBuildersBlock) {
  const std::string path = SourcePath("fixtures/version/block8.bin");
  const std::string expected = NarrowFixtureBlock();
  // RAVLIN_WRITE_FIXTURES=1 rewrites the file after a change to the block.
  if (std::getenv("RAVLIN_WRITE_FIXTURES")) std::ofstream(path, std::ios::binary) << expected;
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << path;
  const std::string committed{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_EQ(committed, expected) << "run once with RAVLIN_WRITE_FIXTURES=1";
  const VersionStrings found = FindVersionStrings(committed);
  EXPECT_EQ(found.company.text, "Ravlin Narrow Block Works");
  EXPECT_EQ(found.version.text, "3.1.4");
}

// --- The file's own headers ---------------------------------------------------------------

TEST(PeHeaders, WhatTheHeadersSayOfEachFile) {
  struct Case {
    const char* name;
    std::string bytes;
    bool isImage;
    uint16_t machine;
    bool isDll;
    bool isDotNet;
  };
  const std::string dll32 = PeImageBytes(kMachineI386, {"KERNEL32.dll"});
  const std::string dll64 = PeImageBytes(kMachineAmd64, {}, true);
  const std::vector<Case> cases = {
      {"a native library", dll32, true, kMachineI386, true, false},
      {"a program", WithCharacteristics(dll32, 0x0102), true, kMachineI386, false, false},
      {"a .NET library", WithRuntimeHeader(dll32), true, kMachineI386, true, true},
      {"a 64-bit .NET library", WithRuntimeHeader(dll64), true, kMachineAmd64, true, true},
      {"a .NET program", WithCharacteristics(WithRuntimeHeader(dll64), 0x0022), true, kMachineAmd64, false,
       true},
      {"runtime header without size", WithDirectory(WithRuntimeHeader(dll32), 14, 0x1100, 0), true, kMachineI386,
       true, false},
      {"runtime header without address", WithDirectory(WithRuntimeHeader(dll32), 14, 0, 72), true, kMachineI386,
       true, false},
      {"directory 14 naming the import table", WithDirectory(dll32, 14, 0x1000, 72), true, kMachineI386, true,
       false},
      {"a runtime header too short", WithRuntimeHeader(dll32, 8), true, kMachineI386, true, false},
      {"directory 14 not counted", WithDirectoryCount(WithRuntimeHeader(dll32), 14), true, kMachineI386, true,
       false},
      {"optional header ends before directory 14", WithOptionalHeaderEndingAt(WithRuntimeHeader(dll64), 14), true,
       kMachineAmd64, true, false},
      {"file ends inside directory 14", WithDirectory(dll32, 14, 0x1000, 72).substr(0, 0x128 + 6), true,
       kMachineI386, true, false},
      {"file ends after the file header", dll32.substr(0, 0x58), true, kMachineI386, true, false},
      {"not a program file", "MZ but nothing more", false, 0, false, false},
  };
  for (const Case& c : cases) {
    FakeWindow w;
    w.platform.fileBytes["C:\\a.dll"] = c.bytes;
    const std::optional<PeHeaders> headers = ReadPeHeadersOf(w.platform, "C:\\a.dll");
    ASSERT_TRUE(headers) << c.name;
    EXPECT_EQ(headers->isImage, c.isImage) << c.name;
    EXPECT_EQ(headers->machine, c.machine) << c.name;
    EXPECT_EQ(headers->isDll, c.isDll) << c.name;
    EXPECT_EQ(headers->isDotNet, c.isDotNet) << c.name;
  }
}

}  // namespace
}  // namespace ravlin
