#include "inspection/PlatformFile.h"

#include <limits>

#include "platform/ResumeNext.h"
#include "platform/Text.h"

namespace ravlin {

PlatformFile::PlatformFile(FilePlatform& platform, const std::string& path)
    : platform_(platform), handle_(InvalidHandleValue()) {
  // Others may keep the file open, even for writing: it is only looked at.
  ResumeNext([&] {
    handle_ = platform_.CreateFileA(path.c_str(), kGenericRead, kFileShareRead | kFileShareWrite,
                                    kOpenExisting, 0);
  });
}

PlatformFile::~PlatformFile() {
  if (IsOpen()) ResumeNext([&] { platform_.CloseHandle(handle_); });
}

size_t PlatformFile::ReadAt(uint64_t offset, char* buffer, size_t length) {
  if (!IsOpen() || offset > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) return 0;
  size_t total = 0;
  ResumeNext([&] {
    if (!platform_.SetFilePointerEx(handle_, static_cast<int64_t>(offset), nullptr, kFileBegin))
      return;
    while (total < length) {
      const size_t chunk = length - total;
      const uint32_t ask = chunk > 0x10000000 ? 0x10000000u : static_cast<uint32_t>(chunk);
      uint32_t got = 0;
      if (!platform_.ReadFile(handle_, buffer + total, ask, &got) || got == 0) break;
      total += got;
    }
  });
  return total;
}

bool IsOrdinaryFile(FilePlatform& platform, const std::string& path) {
  const uint32_t attributes = platform.GetFileAttributesA(path.c_str());
  return attributes != kInvalidFileAttributes && (attributes & kFileAttributeDirectory) == 0;
}

bool IsFolder(FilePlatform& platform, const std::string& path) {
  const uint32_t attributes = platform.GetFileAttributesA(path.c_str());
  return attributes != kInvalidFileAttributes && (attributes & kFileAttributeDirectory) != 0;
}

std::string FullPathOf(FilePlatform& platform, const std::string& spec) {
  return BufferedText([&](char* buffer, uint32_t size) {
    return platform.GetFullPathNameA(spec.c_str(), size, buffer, nullptr);
  });
}

bool ReadWholeFile(FilePlatform& platform, const std::string& path, size_t largest, std::string& text) {
  PlatformFile file(platform, path);
  if (!file.IsOpen()) return false;
  char buffer[4096];
  for (size_t read; text.size() < largest && (read = file.ReadAt(text.size(), buffer, sizeof buffer)) > 0;)
    text.append(buffer, read);
  return true;
}

std::optional<PeHeaders> ReadPeHeadersOf(FilePlatform& platform, const std::string& path) {
  PlatformFile file(platform, path);
  if (!file.IsOpen()) return std::nullopt;
  return ReadPeHeaders(file);
}

}  // namespace ravlin
