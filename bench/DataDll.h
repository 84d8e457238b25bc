#pragma once
// Writes a library file that holds nothing but data: a padding section of any
// size followed by a resource section with one version block, so the block
// lies at the very end of the file. The version library finds it as in any
// control file (resource directory, type 16, name 1).
#include <cstdint>
#include <string>

namespace bench {

// The raw version block (type 16, name 1) of an existing file; "" if it has none.
std::string VersionResourceOf(const std::string& path);

// Writes the library for this program's own processor; the file is as close
// to totalBytes long as the alignment allows, never shorter. Sections start at
// multiples of fileAlignment in the file: 0x200, as linkers write them, up to
// 0x1000, the page size, where a loader can map them without copying.
// Returns the file offset of the block, or 0 on failure.
uint64_t WriteDataDll(const std::string& path, uint64_t totalBytes, const std::string& versionBlock,
                      uint32_t fileAlignment);

}  // namespace bench
