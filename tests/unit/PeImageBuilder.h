#pragma once
// Builds the bytes of a small program library: DOS and PE headers, one section
// holding the import table. Enough for the header reader, nothing to run.
#include <cstdint>
#include <string>
#include <vector>

namespace ravlin {

inline void PutU16(std::string& bytes, size_t at, uint16_t value) {
  bytes[at] = static_cast<char>(value & 0xFF);
  bytes[at + 1] = static_cast<char>(value >> 8);
}

inline void PutU32(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline std::string PeImageBytes(uint16_t machine, const std::vector<std::string>& imports = {},
                                bool pe32Plus = false) {
  constexpr size_t kPe = 0x40, kOptional = kPe + 24, kRaw = 0x200;
  constexpr uint32_t kSectionRva = 0x1000;
  const size_t optionalSize = pe32Plus ? 240 : 224;
  const size_t countAt = pe32Plus ? 108 : 92;
  const size_t descriptors = 20 * (imports.size() + 1);
  size_t names = 0;
  for (const std::string& name : imports) names += name.size() + 1;
  const size_t rawSize = (descriptors + names + 0x1FF) & ~size_t{0x1FF};

  std::string bytes(kRaw + rawSize, '\0');
  bytes[0] = 'M';
  bytes[1] = 'Z';
  PutU32(bytes, 0x3C, kPe);
  bytes.replace(kPe, 4, std::string("PE\0\0", 4));
  PutU16(bytes, kPe + 4, machine);
  PutU16(bytes, kPe + 6, 1);  // one section
  PutU16(bytes, kPe + 20, static_cast<uint16_t>(optionalSize));
  PutU16(bytes, kPe + 22, 0x2102);  // a DLL
  PutU16(bytes, kOptional, pe32Plus ? 0x20B : 0x10B);
  PutU32(bytes, kOptional + countAt, 16);
  if (!imports.empty()) {
    PutU32(bytes, kOptional + countAt + 4 + 8, kSectionRva);
    PutU32(bytes, kOptional + countAt + 4 + 12, static_cast<uint32_t>(descriptors));
  }
  const size_t section = kOptional + optionalSize;
  bytes.replace(section, 6, ".idata");
  PutU32(bytes, section + 8, static_cast<uint32_t>(rawSize));  // virtual size
  PutU32(bytes, section + 12, kSectionRva);
  PutU32(bytes, section + 16, static_cast<uint32_t>(rawSize));
  PutU32(bytes, section + 20, kRaw);

  size_t name = descriptors;
  for (size_t i = 0; i < imports.size(); ++i) {
    PutU32(bytes, kRaw + 20 * i + 12, kSectionRva + static_cast<uint32_t>(name));
    bytes.replace(kRaw + name, imports[i].size(), imports[i]);
    name += imports[i].size() + 1;
  }
  return bytes;
}

// Changes to PeImageBytes' headers, for the cases a linker would not write.
constexpr size_t kBuiltPeHeader = 0x40;
constexpr size_t kBuiltOptionalHeader = kBuiltPeHeader + 24;

inline size_t BuiltDirectoryCountAt(const std::string& bytes) {
  const bool pe32Plus = bytes[kBuiltOptionalHeader + 1] == 0x02;
  return kBuiltOptionalHeader + (pe32Plus ? 108 : 92);
}

inline std::string WithCharacteristics(std::string bytes, uint16_t characteristics) {
  PutU16(bytes, kBuiltPeHeader + 22, characteristics);
  return bytes;
}

inline std::string WithDirectory(std::string bytes, uint32_t index, uint32_t rva, uint32_t size) {
  const size_t entry = BuiltDirectoryCountAt(bytes) + 4 + 8 * index;
  PutU32(bytes, entry, rva);
  PutU32(bytes, entry + 4, size);
  return bytes;
}

inline std::string WithDirectoryCount(std::string bytes, uint32_t count) {
  PutU32(bytes, BuiltDirectoryCountAt(bytes), count);
  return bytes;
}

// A .NET runtime header of `size` bytes and runtime `major`.5 at 0x1100, in the
// section's room behind the import table, and directory 14 naming it.
inline std::string WithRuntimeHeader(std::string bytes, uint32_t size = 72, uint16_t major = 2) {
  constexpr size_t kHeader = 0x300;  // the file offset of 0x1100
  PutU32(bytes, kHeader, size);
  PutU16(bytes, kHeader + 4, major);
  PutU16(bytes, kHeader + 6, 5);
  return WithDirectory(bytes, 14, 0x1100, 72);
}

// The optional header declared to end just before directory `index`.
inline std::string WithOptionalHeaderEndingAt(std::string bytes, uint32_t index) {
  const size_t end = BuiltDirectoryCountAt(bytes) + 4 + 8 * index - kBuiltOptionalHeader;
  PutU16(bytes, kBuiltPeHeader + 20, static_cast<uint16_t>(end));
  return bytes;
}

}  // namespace ravlin
