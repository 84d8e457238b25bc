#include "inspection/ProgramControls.h"

#include <algorithm>
#include <cstring>

#include "platform/Text.h"

namespace ravlin {
namespace {

constexpr size_t kHeaderSize = 0x54;
constexpr size_t kCountAt = 0x46;
constexpr size_t kTableAt = 0x50;
constexpr size_t kEntryHeaderSize = 0x34;
constexpr size_t kGuidAt = 0x04;
constexpr size_t kFileAt = 0x28;
constexpr size_t kClassAt = 0x2C;
// An entry holds its GUID and its three names; a longer one is damage.
constexpr uint32_t kMaxEntryLength = 4096;
constexpr unsigned char kPushImm32 = 0x68;

uint16_t U16(const unsigned char* b) { return static_cast<uint16_t>(b[0] | b[1] << 8); }
uint32_t U32(const unsigned char* b) {
  return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
         static_cast<uint32_t>(b[3]) << 24;
}

bool ReadExactly(ByteSource& file, uint64_t offset, void* buffer, size_t length) {
  return file.ReadAt(offset, static_cast<char*>(buffer), length) == length;
}

bool ImportsRuntime(ByteSource& file) {
  for (const std::string& name : ReadImportNames(file)) {
    const std::string upper = Upper(name);
    if (upper == "MSVBVM60.DLL" || upper == "MSVBVM50.DLL") return true;
  }
  return false;
}

// The file offset of the header the entry point pushes; false when the entry is something else.
bool FindHeader(ByteSource& file, const ImageMap& map, uint64_t& header) {
  uint64_t entry = 0;
  unsigned char push[5];
  if (!map.FileOffsetOfAddress(map.imageBase + map.entryRva, entry) || !ReadExactly(file, entry, push, 5) ||
      push[0] != kPushImm32 || !map.FileOffsetOfAddress(U32(push + 1), header))
    return false;
  char signature[4];
  return ReadExactly(file, header, signature, 4) && std::memcmp(signature, "VB5!", 4) == 0;
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" from a GUID's bytes as they lie in memory.
std::string GuidText(const unsigned char* g) {
  return "{" + Hex(U32(g), 8) + "-" + Hex(U16(g + 4), 4) + "-" + Hex(U16(g + 6), 4) + "-" +
         Hex(static_cast<uint64_t>(g[8]) << 8 | g[9], 4) + "-" +
         Hex(static_cast<uint64_t>(g[10]) << 40 | static_cast<uint64_t>(g[11]) << 32 |
                 static_cast<uint64_t>(g[12]) << 24 | static_cast<uint64_t>(g[13]) << 16 |
                 static_cast<uint64_t>(g[14]) << 8 | g[15],
             12) +
         "}";
}

// A non-empty NUL-terminated name that starts at `at` and ends inside the entry.
bool NameAt(const std::vector<unsigned char>& entry, uint32_t at, std::string& name) {
  if (at < kEntryHeaderSize || at >= entry.size()) return false;
  const auto begin = entry.begin() + at;
  const auto end = std::find(begin, entry.end(), '\0');
  if (end == entry.end() || end == begin) return false;
  name.assign(begin, end);
  return true;
}

// One entry: its class and the file it belongs to. False when damaged.
bool ReadEntry(const std::vector<unsigned char>& entry, std::string& file, ControlClass& control) {
  const uint32_t guidAt = U32(&entry[kGuidAt]);
  if (guidAt < kEntryHeaderSize || guidAt > entry.size() - 16) return false;
  control.clsid = Upper(GuidText(&entry[guidAt]));
  return NameAt(entry, U32(&entry[kFileAt]), file) && NameAt(entry, U32(&entry[kClassAt]), control.className);
}

void Add(std::vector<ProgramControl>& controls, const std::string& file, ControlClass control) {
  for (ProgramControl& known : controls) {
    if (Upper(known.file) != Upper(file)) continue;
    known.classes.push_back(std::move(control));
    return;
  }
  controls.push_back({file, {std::move(control)}});
}

bool ReadTable(ByteSource& file, const ImageMap& map, uint64_t header, std::vector<ProgramControl>& controls) {
  unsigned char bytes[kHeaderSize];
  uint64_t at = 0;
  if (!ReadExactly(file, header, bytes, sizeof(bytes))) return false;
  const uint16_t count = U16(bytes + kCountAt);
  if (count == 0) return true;
  if (!map.FileOffsetOfAddress(U32(bytes + kTableAt), at)) return false;
  std::vector<unsigned char> entry;
  for (uint16_t i = 0; i < count; ++i) {
    unsigned char length[4];
    if (!ReadExactly(file, at, length, 4)) return false;
    const uint32_t size = U32(length);
    if (size < kEntryHeaderSize || size > kMaxEntryLength) return false;
    entry.resize(size);
    if (!ReadExactly(file, at, entry.data(), size)) return false;
    std::string name;
    ControlClass control;
    if (!ReadEntry(entry, name, control)) return false;
    Add(controls, name, std::move(control));
    at += size;
  }
  return true;
}

}  // namespace

ProgramControls ReadProgramControls(ByteSource& file) {
  ProgramControls result;
  const std::optional<ImageMap> map = ReadImageMap(file);
  uint64_t header = 0;
  // A library built with the runtime (an ActiveX control or DLL of its own) is registered as itself.
  if (!map || ReadPeHeaders(file).isDll || !ImportsRuntime(file) || !FindHeader(file, *map, header)) return result;
  result.kind = ReadTable(file, *map, header, result.controls) ? ProgramControls::Kind::Read
                                                               : ProgramControls::Kind::Unreadable;
  if (result.kind == ProgramControls::Kind::Unreadable) result.controls.clear();
  return result;
}

}  // namespace ravlin
