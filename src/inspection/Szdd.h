#pragma once
// A file packed by compress.exe (SZDD: "NAME.DL_" beside an old setup's list),
// unpacked as data: the stated length is trusted only up to a cap, nothing is
// read past the input, and a damaged file gives nothing rather than a part.
#include <cstddef>
#include <string>

namespace ravlin {

// Larger than any file an old setup packed; more is taken as damage.
constexpr size_t kLargestUnpacked = 64u << 20;

// The unpacked bytes into unpacked; false when packed is not SZDD, is cut
// short, or does not come to exactly the length it states.
bool UnpackSzdd(const std::string& packed, std::string& unpacked);

}  // namespace ravlin
