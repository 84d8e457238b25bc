// The reader of a Visual Basic program's controls: one well-formed program,
// then one table of damaged and foreign ones. The fuzzer carries the rest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "VbProgramBuilder.h"
#include "inspection/ProgramControls.h"

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

std::string ThreeEntries() {
  return vb::Program({vb::Entry(vb::kShellGuid, "wshom.ocx", "WScript.Shell"),
                      vb::Entry(kOther, "MSCOMCTL.OCX", "MSComctlLib.ListView"),
                      vb::Entry(kOther, "mscomctl.ocx", "MSComctlLib.TreeView")});
}

ProgramControls Read(std::string bytes) {
  StringSource source(std::move(bytes));
  return ReadProgramControls(source);
}

TEST(ProgramControls, EachFileOnceWithItsClassesInTheTablesOrder) {
  const ProgramControls read = Read(ThreeEntries());
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

struct Damage {
  const char* what;
  std::function<std::string()> bytes;
  ProgramControls::Kind kind;
  size_t files;
};

std::string Changed(const std::function<void(std::string&)>& change) {
  std::string bytes = ThreeEntries();
  change(bytes);
  return bytes;
}

size_t EntryAt(size_t index) {
  size_t at = vb::kTableAt;
  for (size_t i = 0; i < index; ++i) at += static_cast<unsigned char>(ThreeEntries()[at]);
  return at;
}

TEST(ProgramControls, DamagedAndForeignFilesAreToldApartAndNothingIsHalfRead) {
  using K = ProgramControls::Kind;
  const size_t header = vb::kHeaderAt;
  const Damage cases[] = {
      {"the older runtime", [] { return vb::Program({vb::Entry(kOther, "a.ocx", "A.B")}, "msvbvm50.dll"); },
       K::Read, 1},
      {"no controls", [] { return vb::Program({}); }, K::Read, 0},
      {"another runtime", [] { return vb::Program({vb::Entry(kOther, "a.ocx", "A.B")}, "MSVCRT.DLL"); },
       K::NotVisualBasic, 0},
      {"an entry point that is no push", [] { return Changed([](std::string& b) { b[vb::kEntryAt] = 0x55; }); },
       K::NotVisualBasic, 0},
      {"a push of an address before the image",
       [] { return Changed([](std::string& b) { PutU32(b, vb::kEntryAt + 1, 0x10); }); }, K::NotVisualBasic, 0},
      {"no signature", [] { return Changed([](std::string& b) { b[vb::kHeaderAt] = 'W'; }); }, K::NotVisualBasic, 0},
      {"the table outside every section",
       [header] { return Changed([header](std::string& b) { PutU32(b, header + 0x50, 0x7FFF0000); }); },
       K::Unreadable, 0},
      {"more entries than the file holds",
       [header] { return Changed([header](std::string& b) { PutU16(b, header + 0x46, 0xFFFF); }); }, K::Unreadable, 0},
      {"an entry shorter than its fields",
       [] { return Changed([](std::string& b) { PutU32(b, EntryAt(1), 0x20); }); }, K::Unreadable, 0},
      {"an entry of no length", [] { return Changed([](std::string& b) { PutU32(b, EntryAt(0), 0); }); },
       K::Unreadable, 0},
      {"an entry longer than any", [] { return Changed([](std::string& b) { PutU32(b, EntryAt(0), 0x7FFFFFFF); }); },
       K::Unreadable, 0},
      {"a class GUID past its entry",
       [] { return Changed([](std::string& b) { PutU32(b, EntryAt(2) + 0x04, 0x1000); }); }, K::Unreadable, 0},
      {"a file name before the entry's fields end",
       [] { return Changed([](std::string& b) { PutU32(b, EntryAt(0) + 0x28, 0x10); }); }, K::Unreadable, 0},
      {"a class name past its entry",
       [] { return Changed([](std::string& b) { PutU32(b, EntryAt(0) + 0x2C, 0xFFFFFFF0); }); }, K::Unreadable, 0},
      {"an empty file name", [] {
         return Changed([](std::string& b) { b[EntryAt(1) + 0x44] = '\0'; });
       }, K::Unreadable, 0},
      {"names that run to the entry's end", [] {
         return Changed([](std::string& b) {
           const size_t at = EntryAt(0), length = static_cast<unsigned char>(b[at]);
           std::fill(b.begin() + static_cast<long>(at + 0x44), b.begin() + static_cast<long>(at + length), 'x');
         });
       }, K::Unreadable, 0},
      {"a file that ends inside the header", [header] { return ThreeEntries().substr(0, header + 0x48); },
       K::Unreadable, 0},
      {"a file that ends inside the last entry", [] { return ThreeEntries().substr(0, EntryAt(2) + 0x30); },
       K::Unreadable, 0},
  };
  for (const Damage& c : cases) {
    const ProgramControls read = Read(c.bytes());
    EXPECT_EQ(read.kind, c.kind) << c.what;
    EXPECT_EQ(read.controls.size(), c.files) << c.what;
  }
}

}  // namespace
}  // namespace ravlin
