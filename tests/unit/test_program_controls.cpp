// The reader of a Visual Basic program's controls: one well-formed program,
// then one table of damaged and foreign ones. The fuzzer carries the rest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "VbProgramBuilder.h"
#include "inspection/ProgramControls.h"
#include "inspection/Spellings.h"

namespace ravlin {
namespace {

struct StringSource final : ByteSource {
  explicit StringSource(std::string data) : bytes(std::move(data)) {}
  size_t ReadAt(uint64_t offset, char* buffer, size_t length) override {
    if (offset >= bytes.size()) return 0;
    const size_t count = std::min<size_t>(length, bytes.size() - static_cast<size_t>(offset));
    std::memcpy(buffer, bytes.data() + offset, count);
    return count;
  }
  std::string bytes;
};

constexpr vb::Guid kOther = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
const std::string kEntries[] = {vb::Entry(vb::kShellGuid, "wshom.ocx", "WScript.Shell"),
                                vb::Entry(kOther, "MSCOMCTL.OCX", "MSComctlLib.ListView"),
                                vb::Entry(kOther, "mscomctl.ocx", "MSComctlLib.TreeView")};
const std::string kThree = vb::Program({kEntries[0], kEntries[1], kEntries[2]});
const size_t kSecond = vb::kTableAt + kEntries[0].size(), kThird = kSecond + kEntries[1].size();

ProgramControls Read(std::string bytes) {
  StringSource source(std::move(bytes));
  return ReadProgramControls(source);
}

TEST(ProgramControls, EachFileOnceWithItsClassesInTheTablesOrder) {
  const ProgramControls read = Read(kThree);
  ASSERT_EQ(read.kind, ProgramControls::Kind::Read);
  ASSERT_EQ(read.controls.size(), 2u);
  EXPECT_EQ(read.controls[0].file, "wshom.ocx");
  ASSERT_EQ(read.controls[0].classes.size(), 1u);
  EXPECT_EQ(read.controls[0].classes[0].clsid, "{72C24DD5-D70A-438B-8A42-98424B88AFB8}");
  EXPECT_EQ(read.controls[0].classes[0].className, "WScript.Shell");
  EXPECT_EQ(read.controls[1].file, "MSCOMCTL.OCX");
  ASSERT_EQ(read.controls[1].classes.size(), 2u);
  EXPECT_EQ(read.controls[1].classes[0].clsid, "{04030201-0605-0807-090A-0B0C0D0E0F10}");
  EXPECT_EQ(read.controls[1].classes[1].className, "MSComctlLib.TreeView");
}

// The three-entry program with a 32-bit field (or, with a byte's width, a byte) changed.
std::string With(size_t at, uint32_t value, size_t width = 4) {
  std::string bytes = kThree;
  for (size_t i = 0; i < width; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
  return bytes;
}

// The last entry's class name moved to its last four bytes, which are not a terminated name.
std::string Unterminated() {
  std::string bytes = With(kThird + kEntries[2].size() - 4, 0x78787878);
  PutU32(bytes, kThird + 0x2C, static_cast<uint32_t>(kEntries[2].size() - 4));
  return bytes;
}

TEST(ProgramControls, DamagedAndForeignFilesAreToldApartAndNothingIsHalfRead) {
  using K = ProgramControls::Kind;
  const struct {
    const char* what;
    std::string bytes;
    K kind;
    size_t files;
  } cases[] = {
      {"the older runtime", vb::Program({kEntries[0]}, "msvbvm50.dll"), K::Read, 1},
      {"no controls", vb::Program({}), K::Read, 0},
      {"another runtime", vb::Program({kEntries[0]}, "MSVCRT.DLL"), K::NotVisualBasic, 0},
      {"a library built with the runtime", With(kBuiltPeHeader + 22, 0x2102, 2), K::NotVisualBasic, 0},
      {"an entry point that is no push", With(vb::kEntryAt, 0x55, 1), K::NotVisualBasic, 0},
      {"a push of an address before the image", With(vb::kEntryAt + 1, 0x10), K::NotVisualBasic, 0},
      {"no signature", With(vb::kHeaderAt, 'W', 1), K::NotVisualBasic, 0},
      {"the table outside every section", With(vb::kHeaderAt + 0x50, 0x7FFF0000), K::Unreadable, 0},
      {"more entries than the file holds", With(vb::kHeaderAt + 0x46, 0xFFFF, 2), K::Unreadable, 0},
      {"an entry shorter than its fields", With(kSecond, 0x20), K::Unreadable, 0},
      {"an entry of no length", With(vb::kTableAt, 0), K::Unreadable, 0},
      {"an entry longer than any", With(vb::kTableAt, 0x7FFFFFFF), K::Unreadable, 0},
      {"a class GUID past its entry", With(kThird + 0x04, 0x1000), K::Unreadable, 0},
      {"a file name inside the entry's fields", With(vb::kTableAt + 0x28, 0x10), K::Unreadable, 0},
      {"a class name past its entry", With(vb::kTableAt + 0x2C, 0xFFFFFFF0), K::Unreadable, 0},
      {"an empty file name", With(kSecond + 0x44, 0, 1), K::Unreadable, 0},
      {"a name that runs to the entry's end", Unterminated(), K::Unreadable, 0},
      {"a file that ends inside the header", kThree.substr(0, vb::kHeaderAt + 0x48), K::Unreadable, 0},
      {"a file that ends inside the last entry", kThree.substr(0, kThird + 0x30), K::Unreadable, 0},
  };
  for (const auto& c : cases) {
    const ProgramControls read = Read(c.bytes);
    EXPECT_EQ(read.kind, c.kind) << c.what;
    EXPECT_EQ(read.controls.size(), c.files) << c.what;
  }
}

// A name that is not UTF-8 is read as the platform reads it and in
// Windows-1252; a well-formed one only as it is.
TEST(ProgramControls, ANameThatIsNotUtf8IsAlsoReadInWindows1252) {
  const std::string fffd = "\xEF\xBF\xBD";
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {"Contr\xC3\xB4le.ocx", {"Contr\xC3\xB4le.ocx"}},
      {"Contr\xF4le.ocx", {"Contr" + fffd + "le.ocx", "Contr\xC3\xB4le.ocx"}},
      {"\x80\x81\x9F.ocx", {fffd + fffd + fffd + ".ocx", "\xE2\x82\xAC\xC2\x81\xC5\xB8.ocx"}},
      {"\xC0\xAF", {fffd + fffd, "\xC3\x80\xC2\xAF"}},  // overlong
      {"\xED\xA0\x80", {fffd + fffd + fffd, "\xC3\xAD\xC2\xA0\xE2\x82\xAC"}},  // a surrogate
      {"a\xE2\x82", {"a" + fffd + fffd, "a\xC3\xA2\xE2\x80\x9A"}},  // cut off by the end
  };
  for (const auto& [name, spellings] : cases) EXPECT_EQ(SpellingsOf(name), spellings) << name;
}

}  // namespace
}  // namespace ravlin
