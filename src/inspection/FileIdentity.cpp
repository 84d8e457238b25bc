#include "inspection/FileIdentity.h"

#include "inspection/VersionSummary.h"
#include "platform/ResumeNext.h"

namespace ravlin {

bool FileIdentity::operator==(const FileIdentity& other) const {
  return found == other.found && size == other.size && lastWriteTime == other.lastWriteTime &&
         company == other.company && version == other.version;
}

FileIdentity ReadFileIdentity(Platform& platform, const std::string& path, bool withVersion) {
  FileIdentity identity;
  ResumeNext([&] {
    FileAttributeData data;
    identity.found = platform.GetFileAttributesExA(path.c_str(), &data) != 0;
    identity.size = data.size;
    identity.lastWriteTime = data.lastWriteTime;
  });
  if (!withVersion) return identity;
  const VersionSummary summary = ReadVersionSummary(platform, path);
  if (summary.blockRead) {
    identity.company = summary.company;
    identity.version = summary.version;
  }
  return identity;
}

}  // namespace ravlin
