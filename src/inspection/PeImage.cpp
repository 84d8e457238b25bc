#include "inspection/PeImage.h"

#include <utility>

#include "platform/Text.h"

namespace ravlin {
namespace {

constexpr uint64_t kNewHeaderField = 0x3C;  // where the DOS header keeps the PE header's offset
constexpr size_t kFileHeaderSize = 20;
constexpr size_t kSectionHeaderSize = 40;
constexpr size_t kImportDescriptorSize = 20;
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint32_t kImportDirectory = 1;
constexpr uint32_t kRuntimeDirectory = 14;  // the COM descriptor: a .NET assembly's runtime header
constexpr uint16_t kFileDll = 0x2000;
// Bounds on what a hostile file can make the walk do.
constexpr uint16_t kMaxSections = 96;  // the loader's own limit
constexpr size_t kMaxImports = 4096;
constexpr size_t kMaxNameLength = 256;

bool ReadExactly(ByteSource& file, uint64_t offset, void* buffer, size_t length) {
  return file.ReadAt(offset, static_cast<char*>(buffer), length) == length;
}

uint16_t U16(const unsigned char* bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }
uint32_t U32(const unsigned char* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

using Section = MappedSection;

// Everything the import walk needs from the headers.
struct Layout {
  PeHeaders headers;
  uint64_t optionalOffset = 0;
  uint16_t optionalSize = 0;
  uint32_t importRva = 0;
  std::vector<Section> sections;
};

// One entry of the optional header's table of data directories.
struct Directory {
  uint32_t rva = 0;
  uint32_t size = 0;
};

// Where the optional header keeps its table of data directories, and how many entries it declares.
struct DirectoryTable {
  uint64_t offset = 0;  // of the optional header
  uint16_t optionalSize = 0;
  uint32_t countAt = 0;  // where the count stands; the entries follow it
  uint32_t count = 0;
};

bool ReadDirectoryTable(ByteSource& file, uint64_t optionalOffset, uint16_t optionalSize,
                        DirectoryTable& table) {
  unsigned char magic[2];
  if (!ReadExactly(file, optionalOffset, magic, sizeof(magic))) return false;
  // Where the count of directories and the directories stand depends on the form.
  if (U16(magic) == kPe32Magic) table.countAt = 92;
  else if (U16(magic) == kPe32PlusMagic) table.countAt = 108;
  else return false;
  unsigned char count[4];
  if (optionalSize < table.countAt + 4 ||
      !ReadExactly(file, optionalOffset + table.countAt, count, sizeof(count)))
    return false;
  table.offset = optionalOffset;
  table.optionalSize = optionalSize;
  table.count = U32(count);
  return true;
}

// False when the table declares fewer entries or the optional header ends before this one.
bool ReadDirectory(ByteSource& file, const DirectoryTable& table, uint32_t index, Directory& entry) {
  const uint32_t at = table.countAt + 4 + 8 * index;
  if (index >= table.count || table.optionalSize < at + 8) return false;
  unsigned char bytes[8];
  if (!ReadExactly(file, table.offset + at, bytes, sizeof(bytes))) return false;
  entry = {U32(bytes), U32(bytes + 4)};
  return true;
}

bool ReadLayout(ByteSource& file, Layout& layout) {
  unsigned char dos[0x40];
  if (!ReadExactly(file, 0, dos, sizeof(dos)) || dos[0] != 'M' || dos[1] != 'Z') return false;
  const uint64_t peOffset = U32(dos + kNewHeaderField);
  unsigned char pe[4 + kFileHeaderSize];
  if (!ReadExactly(file, peOffset, pe, sizeof(pe)) || pe[0] != 'P' || pe[1] != 'E' || pe[2] != 0 ||
      pe[3] != 0)
    return false;
  layout.headers.isImage = true;
  layout.headers.machine = U16(pe + 4);
  layout.headers.isDll = (U16(pe + 22) & kFileDll) != 0;

  const uint16_t sectionCount = U16(pe + 6);
  const uint16_t optionalSize = U16(pe + 20);
  const uint64_t optionalOffset = peOffset + sizeof(pe);
  layout.optionalOffset = optionalOffset;
  layout.optionalSize = optionalSize;
  DirectoryTable table;
  if (!ReadDirectoryTable(file, optionalOffset, optionalSize, table)) return true;
  Directory runtime;
  layout.headers.isDotNet = ReadDirectory(file, table, kRuntimeDirectory, runtime) &&
                            runtime.rva != 0 && runtime.size != 0;
  Directory imports;
  if (!ReadDirectory(file, table, kImportDirectory, imports)) return true;
  layout.importRva = imports.rva;

  const uint64_t sectionsOffset = optionalOffset + optionalSize;
  for (uint16_t i = 0; i < sectionCount && i < kMaxSections; ++i) {
    unsigned char header[kSectionHeaderSize];
    if (!ReadExactly(file, sectionsOffset + i * kSectionHeaderSize, header, sizeof(header))) break;
    layout.sections.push_back({U32(header + 12), U32(header + 8), U32(header + 16), U32(header + 20)});
  }
  return true;
}

// The file offset of an address inside the image; false when no section holds it.
bool FileOffsetOf(const std::vector<Section>& sections, uint32_t rva, uint64_t& offset) {
  for (const Section& s : sections) {
    const uint64_t extent = s.virtualSize > s.rawSize ? s.virtualSize : s.rawSize;
    if (rva < s.virtualAddress || rva - s.virtualAddress >= extent) continue;
    const uint32_t inside = rva - s.virtualAddress;
    if (inside >= s.rawSize) return false;  // uninitialised data has no bytes in the file
    offset = static_cast<uint64_t>(s.rawOffset) + inside;
    return true;
  }
  return false;
}

bool ReadName(ByteSource& file, const Layout& layout, uint32_t rva, std::string& name) {
  uint64_t offset = 0;
  if (!FileOffsetOf(layout.sections, rva, offset)) return false;
  char buffer[kMaxNameLength];
  const size_t got = file.ReadAt(offset, buffer, sizeof(buffer));
  size_t length = 0;
  while (length < got && buffer[length] != '\0') ++length;
  if (length == got || length == 0) return false;  // unterminated or empty
  name.assign(buffer, length);
  return true;
}

}  // namespace

PeHeaders ReadPeHeaders(ByteSource& file) {
  Layout layout;
  ReadLayout(file, layout);
  return layout.headers;
}

std::vector<std::string> ReadImportNames(ByteSource& file) {
  std::vector<std::string> names;
  Layout layout;
  uint64_t offset = 0;
  if (!ReadLayout(file, layout) || layout.importRva == 0 ||
      !FileOffsetOf(layout.sections, layout.importRva, offset))
    return names;
  for (size_t i = 0; i < kMaxImports; ++i) {
    unsigned char descriptor[kImportDescriptorSize];
    if (!ReadExactly(file, offset + i * kImportDescriptorSize, descriptor, sizeof(descriptor))) break;
    const uint32_t nameRva = U32(descriptor + 12);
    if (nameRva == 0) break;  // the table ends with an empty entry
    std::string name;
    if (ReadName(file, layout, nameRva, name)) names.push_back(name);
  }
  return names;
}

std::optional<ImageMap> ReadImageMap(ByteSource& file) {
  Layout layout;
  unsigned char optional[32];
  if (!ReadLayout(file, layout) || layout.sections.empty() || layout.optionalSize < sizeof(optional) ||
      !ReadExactly(file, layout.optionalOffset, optional, sizeof(optional)) || U16(optional) != kPe32Magic)
    return std::nullopt;
  ImageMap map;
  map.entryRva = U32(optional + 16);
  map.imageBase = U32(optional + 28);
  map.sections = std::move(layout.sections);
  return map;
}

bool ImageMap::FileOffsetOfAddress(uint32_t address, uint64_t& offset) const {
  return address >= imageBase && FileOffsetOf(sections, address - imageBase, offset);
}

std::string MachineName(uint16_t machine) {
  switch (machine) {
    case kMachineI386: return "x86";
    case kMachineAmd64: return "x64";
    case kMachineArm64: return "ARM64";
    case kMachineIa64: return "Itanium";
    case kMachineArmNt: return "ARM";
    default: break;
  }
  return "machine 0x" + Hex(machine, 4);
}

}  // namespace ravlin
