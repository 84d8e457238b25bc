#include "platform/FileWrite.h"

#include "platform/Owned.h"

namespace ravlin {
namespace {

constexpr uint32_t kFileAttributeNormal = 0x80;

void Note(FilePlatform& platform, uint32_t* error) {
  if (error) *error = platform.GetLastError();
}

}  // namespace

std::string TemporaryNameFor(Platform& platform, const std::string& path) {
  return path + ".ravlin-" + std::to_string(platform.GetCurrentProcessId()) + ".tmp";
}

bool WriteNewFile(Platform& platform, const std::string& path, const std::string& text, uint32_t* error) {
  const Handle raw = platform.CreateFileA(path.c_str(), kGenericWrite, 0, kCreateNew, kFileAttributeNormal);
  if (raw == InvalidHandleValue()) {
    Note(platform, error);
    return false;
  }
  bool whole = false;
  {
    const OwnedHandle file(raw, HandleReleaser{&platform});
    uint32_t written = 0;
    whole = platform.WriteFile(file.get(), text.data(), static_cast<uint32_t>(text.size()), &written) &&
            written == text.size();
    if (!whole) Note(platform, error);
  }
  if (!whole) platform.DeleteFileA(path.c_str());  // closed first: an open file cannot go
  return whole;
}

bool MoveIntoPlace(Platform& platform, const std::string& temporary, const std::string& path, uint32_t* error) {
  if (platform.MoveFileA(temporary.c_str(), path.c_str())) return true;
  Note(platform, error);
  platform.DeleteFileA(temporary.c_str());
  return false;
}

bool WriteFileWhole(Platform& platform, const std::string& path, const std::string& text, uint32_t* error) {
  const std::string temporary = TemporaryNameFor(platform, path);
  return WriteNewFile(platform, temporary, text, error) && MoveIntoPlace(platform, temporary, path, error);
}

}  // namespace ravlin
