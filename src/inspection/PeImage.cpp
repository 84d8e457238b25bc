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
constexpr uint32_t kExportDirectory = 0;
constexpr uint32_t kRuntimeDirectory = 14;  // the COM descriptor: a .NET assembly's runtime header
constexpr uint32_t kRuntimeHeaderSize = 72;
constexpr uint16_t kRuntimeMajorVersion = 2;
constexpr uint16_t kFileDll = 0x2000;
// Bounds on what a hostile file can make the walk do.
constexpr uint16_t kMaxSections = 96;  // the loader's own limit
constexpr size_t kMaxImports = 4096;
constexpr size_t kMaxNameLength = 256;
// Ordinals are 16 bits: no sound table has more entries.
constexpr uint32_t kMaxExports = 0x10000;
constexpr size_t kExportDirectorySize = 40;
constexpr uint32_t kImageSizeField = 56;  // in the optional header, in both forms

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
  uint32_t imageSize = 0;  // what the loader maps
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
  uint32_t imageSize = 0;
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
  unsigned char imageSize[4];
  if (ReadExactly(file, optionalOffset + kImageSizeField, imageSize, sizeof(imageSize)))
    table.imageSize = U32(imageSize);
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

bool FileOffsetOf(const Layout& layout, uint32_t rva, uint64_t& offset) {
  return FileOffsetOf(layout.sections, rva, offset);
}

// A .NET runtime header lies wholly inside the file and reads as one: its
// size field covers at least the header, and its runtime is 2.0 or later.
bool IsRuntimeHeader(ByteSource& file, const Layout& layout, const Directory& runtime) {
  uint64_t offset = 0, last = 0;
  if (runtime.rva == 0 || runtime.size < kRuntimeHeaderSize || runtime.rva > UINT32_MAX - runtime.size ||
      !FileOffsetOf(layout, runtime.rva, offset) || !FileOffsetOf(layout, runtime.rva + runtime.size - 1, last) ||
      last - offset != runtime.size - 1)
    return false;
  unsigned char header[8], end[1];
  if (!ReadExactly(file, offset, header, sizeof(header)) || !ReadExactly(file, last, end, sizeof(end))) return false;
  return U32(header) >= kRuntimeHeaderSize && U16(header + 4) >= kRuntimeMajorVersion;
}

// Whether count entries of entrySize bytes at rva lie inside the image.
bool InImage(const Layout& layout, uint32_t rva, uint64_t count, uint32_t entrySize) {
  return count == 0 || (rva != 0 && uint64_t{rva} + count * entrySize <= layout.imageSize);
}

// The addresses an array at rva holds, as far as the file has them; bytes
// the file does not hold read as zeros once loaded, which point nowhere.
bool AllInImage(ByteSource& file, const Layout& layout, uint32_t rva, uint32_t count) {
  uint64_t offset = 0;
  if (count == 0 || !FileOffsetOf(layout, rva, offset)) return true;
  unsigned char entries[256];
  for (uint64_t end = offset + uint64_t{count} * 4; offset < end; offset += sizeof(entries)) {
    const size_t got = file.ReadAt(offset, reinterpret_cast<char*>(entries), static_cast<size_t>(
                                       end - offset < sizeof(entries) ? end - offset : sizeof(entries)));
    for (size_t at = 0; at + 4 <= got; at += 4)
      if (U32(entries + at) >= layout.imageSize) return false;
    if (got < sizeof(entries)) return true;  // the file ends: the rest reads as zeros
  }
  return true;
}

// The loader's lookup of an export trusts the export directory and its three
// arrays (addresses, names, name ordinals): each must lie inside the image,
// and every address and name they give too. No table at all is sound.
bool ExportTableSound(ByteSource& file, const Layout& layout, const Directory& exports) {
  if (exports.rva == 0) return true;
  uint64_t offset = 0;
  unsigned char directory[kExportDirectorySize];
  if (!InImage(layout, exports.rva, 1, kExportDirectorySize)) return false;
  if (!FileOffsetOf(layout, exports.rva, offset) || !ReadExactly(file, offset, directory, sizeof(directory)))
    return true;  // not in the file: it reads as zeros, an empty table
  const uint32_t functions = U32(directory + 20), names = U32(directory + 24);
  const uint32_t functionsRva = U32(directory + 28), namesRva = U32(directory + 32),
                 ordinalsRva = U32(directory + 36);
  return functions <= kMaxExports && names <= kMaxExports && InImage(layout, functionsRva, functions, 4) &&
         InImage(layout, namesRva, names, 4) && InImage(layout, ordinalsRva, names, 2) &&
         AllInImage(file, layout, functionsRva, functions) && AllInImage(file, layout, namesRva, names);
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
  const uint64_t sectionsOffset = optionalOffset + optionalSize;
  for (uint16_t i = 0; i < sectionCount && i < kMaxSections; ++i) {
    unsigned char header[kSectionHeaderSize];
    if (!ReadExactly(file, sectionsOffset + i * kSectionHeaderSize, header, sizeof(header))) break;
    layout.sections.push_back({U32(header + 12), U32(header + 8), U32(header + 16), U32(header + 20)});
  }
  DirectoryTable table;
  if (!ReadDirectoryTable(file, optionalOffset, optionalSize, table)) return true;
  Directory runtime;
  layout.headers.isDotNet =
      ReadDirectory(file, table, kRuntimeDirectory, runtime) && IsRuntimeHeader(file, layout, runtime);
  layout.imageSize = table.imageSize;
  Directory exports;
  layout.headers.exportsDamaged =
      ReadDirectory(file, table, kExportDirectory, exports) && !ExportTableSound(file, layout, exports);
  Directory imports;
  if (ReadDirectory(file, table, kImportDirectory, imports)) layout.importRva = imports.rva;
  return true;
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
