#pragma once
// Finds the company name and product version in a raw version-information
// block by a text search for their keys. Pure and portable: it neither walks
// the block's tree nor calls the platform.
#include <string>

namespace ravlin {

// Where the root key "VS_VERSION_INFO" stands tells the form: in 8-bit
// characters at byte 4 (the form of 16-bit executables), in 16-bit
// little-endian ones at byte 6 (what resource compilers write for Win32).
enum class BlockForm { Narrow, Wide, Unknown };

BlockForm FormOf(const std::string& block);

// One value as it stands in the block, up to its terminating NUL and never
// past the end of the block.
struct VersionValue {
  bool found = false;        // the key occurs in the block
  bool wide = false;         // the value is in wideText, still to be made ANSI
  std::string text;          // 8-bit form, or a block of neither form
  std::u16string wideText;   // 16-bit form
};

struct VersionStrings {
  VersionValue company;
  VersionValue version;
};

// The first occurrence of each key counts, wherever it stands, with exact case.
VersionStrings FindVersionStrings(const std::string& block);

}  // namespace ravlin
