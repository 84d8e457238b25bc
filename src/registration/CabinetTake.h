#pragma once
// Files taken out of a cabinet, which is untrusted: a member's name only
// decides whether it is wanted; the file written is named after the wanted
// name, in the folder given, so no part of a member's name reaches a path.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/FilePlatform.h"

namespace ravlin {

// A member larger than this once unpacked is passed over.
constexpr int64_t kLargestMember = 100LL * 1024 * 1024;

struct MemberChoice {
  uint32_t index = 0;  // in the cabinet's order
  std::string name;    // the wanted name it is written under
};

// For each wanted name (in any case, each once) the first member whose name,
// past any folder in it, is that name and whose size is within the limit.
std::vector<MemberChoice> ChooseMembers(const std::vector<CabinetMember>& members,
                                        const std::vector<std::string>& wanted);

// Writes the chosen members as new files folder\<wanted name>, and adds those
// names to *written. False when the cabinet cannot be read whole or a member
// cannot be written; then nothing it wrote is left and *written is as it was.
bool TakeFromCabinet(FilePlatform& files, const std::string& cabinet, const std::vector<std::string>& wanted,
                     const std::string& folder, std::vector<std::string>* written);

}  // namespace ravlin
