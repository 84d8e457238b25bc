#pragma once
// Reads what a program library's own headers say about it: the processor it
// is built for, whether it is a library or a program, whether it is a .NET
// assembly, and the DLLs it imports. The file is untrusted data: every
// read is checked against what the file holds, and nothing in it is run.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ravlin {

// A file's bytes, wherever they come from.
class ByteSource {
 public:
  // Reads up to length bytes at offset into buffer; returns how many it read
  // (fewer at the end of the file, 0 past it or on failure).
  virtual size_t ReadAt(uint64_t offset, char* buffer, size_t length) = 0;

 protected:
  ~ByteSource() = default;
};

constexpr uint16_t kMachineI386 = 0x014C;
constexpr uint16_t kMachineAmd64 = 0x8664;
constexpr uint16_t kMachineArm64 = 0xAA64;
constexpr uint16_t kMachineIa64 = 0x0200;
constexpr uint16_t kMachineArmNt = 0x01C4;

struct PeHeaders {
  bool isImage = false;  // MZ and PE signatures and a whole file header
  uint16_t machine = 0;
  bool isDll = false;     // the file header marks it a library, not a program (IMAGE_FILE_DLL)
  // It carries a .NET runtime header: data directory 14 names one inside the file.
  bool isDotNet = false;
  // Its export directory, or an array or address in it, lies outside the
  // image: looking an export up would read beyond the library.
  bool exportsDamaged = false;
};

PeHeaders ReadPeHeaders(ByteSource& file);

// The names in the import table, in its order; empty when the file has none
// or its table cannot be read.
std::vector<std::string> ReadImportNames(ByteSource& file);

// Where a 32-bit image's addresses lie in its file.
struct MappedSection {
  uint32_t virtualAddress;
  uint32_t virtualSize;
  uint32_t rawSize;
  uint32_t rawOffset;
};
struct ImageMap {
  uint32_t imageBase = 0;  // the preferred one, which the file's addresses assume
  uint32_t entryRva = 0;
  std::vector<MappedSection> sections;
  // False when no section holds the address's bytes.
  bool FileOffsetOfAddress(uint32_t address, uint64_t& offset) const;
};
// None for a file that is no 32-bit (PE32) image with sections.
std::optional<ImageMap> ReadImageMap(ByteSource& file);

// "x86", "x64", "ARM64", ...; the field in hexadecimal for a machine without a common name.
std::string MachineName(uint16_t machine);

}  // namespace ravlin
