#include "inspection/FileIdentity.h"

#include "inspection/VersionSummary.h"
#include "platform/Owned.h"
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

namespace {

constexpr uint32_t kFileShareDelete = 0x4;

// Its volume and index, read through a handle that asks for no access at all.
bool IndexOf(Platform& platform, const std::string& path, FileIndex* index) {
  const Handle raw =
      platform.CreateFileA(path.c_str(), 0, kFileShareRead | kFileShareWrite | kFileShareDelete, kOpenExisting, 0);
  if (raw == InvalidHandleValue()) return false;
  const OwnedHandle file(raw, HandleReleaser{&platform});
  return platform.GetFileInformationByHandle(file.get(), index) != 0;
}

}  // namespace

bool IsSameFile(Platform& platform, const std::string& first, const std::string& second) {
  FileIndex a, b;
  return IndexOf(platform, first, &a) && IndexOf(platform, second, &b) && a == b;
}

}  // namespace ravlin
