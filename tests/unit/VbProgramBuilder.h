#pragma once
// Builds the bytes of a small Visual Basic program as the reader sees one: a
// 32-bit image importing the runtime, an entry point that pushes its VB5!
// header's address, the header, and its table of controls. Nothing to run.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "PeImageBuilder.h"
#include "inspection/PeImage.h"

namespace ravlin {
namespace vb {

constexpr uint32_t kImageBase = 0x400000;
constexpr uint32_t kSectionRva = 0x1000;  // PeImageBytes' one section
constexpr size_t kSectionRaw = 0x200;
constexpr size_t kSectionHeader = kBuiltOptionalHeader + 224;
constexpr size_t kEntryAt = kSectionRaw + 0x100;  // file offsets
constexpr size_t kHeaderAt = kSectionRaw + 0x120;
constexpr size_t kTableAt = kSectionRaw + 0x180;

constexpr uint32_t AddressOf(size_t fileOffset) {
  return kImageBase + kSectionRva + static_cast<uint32_t>(fileOffset - kSectionRaw);
}

using Guid = std::array<uint8_t, 16>;  // as it lies in memory
// {72C24DD5-D70A-438B-8A42-98424B88AFB8}
constexpr Guid kShellGuid = {0xD5, 0x4D, 0xC2, 0x72, 0x0A, 0xD7, 0x8B, 0x43,
                             0x8A, 0x42, 0x98, 0x42, 0x4B, 0x88, 0xAF, 0xB8};

// One entry: length, GUID offset, three name offsets, then the GUID and the names.
inline std::string Entry(const Guid& guid, const std::string& file, const std::string& className,
                         const std::string& name = "Control1") {
  std::string bytes(0x34, '\0');
  bytes.append(guid.begin(), guid.end());
  const size_t fileAt = bytes.size();
  bytes += file + '\0';
  const size_t classAt = bytes.size();
  bytes += className + '\0';
  const size_t nameAt = bytes.size();
  bytes += name + '\0';
  bytes.resize((bytes.size() + 3) & ~size_t{3}, '\0');
  PutU32(bytes, 0x00, static_cast<uint32_t>(bytes.size()));
  PutU32(bytes, 0x04, 0x34);
  PutU32(bytes, 0x28, static_cast<uint32_t>(fileAt));
  PutU32(bytes, 0x2C, static_cast<uint32_t>(classAt));
  PutU32(bytes, 0x30, static_cast<uint32_t>(nameAt));
  return bytes;
}

inline std::string Program(const std::vector<std::string>& entries, const std::string& runtime = "MSVBVM60.DLL") {
  std::string bytes = WithCharacteristics(PeImageBytes(kMachineI386, {runtime}), 0x0102);  // a program
  std::string table;
  for (const std::string& entry : entries) table += entry;
  const size_t raw = (kTableAt - kSectionRaw + table.size() + 0x1FF) & ~size_t{0x1FF};
  bytes.resize(kSectionRaw + raw, '\0');
  PutU32(bytes, kSectionHeader + 8, static_cast<uint32_t>(raw));
  PutU32(bytes, kSectionHeader + 16, static_cast<uint32_t>(raw));
  PutU32(bytes, kBuiltOptionalHeader + 16, AddressOf(kEntryAt) - kImageBase);
  PutU32(bytes, kBuiltOptionalHeader + 28, kImageBase);
  bytes[kEntryAt] = static_cast<char>(0x68);
  PutU32(bytes, kEntryAt + 1, AddressOf(kHeaderAt));
  bytes.replace(kHeaderAt, 4, "VB5!");
  PutU16(bytes, kHeaderAt + 0x46, static_cast<uint16_t>(entries.size()));
  PutU32(bytes, kHeaderAt + 0x50, AddressOf(kTableAt));
  bytes.replace(kTableAt, table.size(), table);
  return bytes;
}

}  // namespace vb
}  // namespace ravlin
