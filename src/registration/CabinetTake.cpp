#include "registration/CabinetTake.h"

#include "platform/ResumeNext.h"
#include "platform/Text.h"

namespace ravlin {

std::vector<MemberChoice> ChooseMembers(const std::vector<CabinetMember>& members,
                                        const std::vector<std::string>& wanted) {
  std::vector<MemberChoice> chosen;
  for (const std::string& name : wanted) {
    bool taken = false;
    for (const MemberChoice& choice : chosen) taken = taken || Lower(choice.name) == Lower(name);
    for (uint32_t i = 0; i < members.size() && !taken; ++i) {
      const CabinetMember& member = members[i];
      if (Lower(FileNameOf(member.name)) != Lower(name) || member.size < 0 || member.size > kLargestMember) continue;
      chosen.push_back({i, name});
      taken = true;
    }
  }
  return chosen;
}

bool TakeFromCabinet(FilePlatform& files, const std::string& cabinet, const std::vector<std::string>& wanted,
                     const std::string& folder, std::vector<std::string>* written) {
  std::vector<CabinetMember> members;
  if (!files.ListCabinetA(cabinet.c_str(), &members)) return false;
  std::vector<std::string> made;
  for (const MemberChoice& choice : ChooseMembers(members, wanted)) {
    const std::string path = folder + "\\" + choice.name;
    if (files.ExtractCabinetMemberA(cabinet.c_str(), choice.index, path.c_str())) {
      made.push_back(choice.name);
      continue;
    }
    // One member fails, the cabinet counts as damaged: what it gave goes too.
    for (const std::string& name : made) ResumeNext([&] { files.DeleteFileA((folder + "\\" + name).c_str()); });
    return false;
  }
  written->insert(written->end(), made.begin(), made.end());
  return true;
}

}  // namespace ravlin
