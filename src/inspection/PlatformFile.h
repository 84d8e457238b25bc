#pragma once
// A file opened for reading through the platform, closed when it goes.
#include <optional>
#include <string>

#include "inspection/PeImage.h"
#include "platform/FilePlatform.h"

namespace ravlin {

class PlatformFile final : public ByteSource {
 public:
  PlatformFile(FilePlatform& platform, const std::string& path);
  ~PlatformFile();
  PlatformFile(const PlatformFile&) = delete;
  PlatformFile& operator=(const PlatformFile&) = delete;

  bool IsOpen() const { return handle_ != InvalidHandleValue(); }
  size_t ReadAt(uint64_t offset, char* buffer, size_t length) override;

 private:
  FilePlatform& platform_;
  Handle handle_;
};

// Whether path names a file (not a folder) that is there.
bool IsOrdinaryFile(FilePlatform& platform, const std::string& path);
// Whether path names a folder that is there.
bool IsFolder(FilePlatform& platform, const std::string& path);
// The absolute path spec names from here; "" when it names none.
std::string FullPathOf(FilePlatform& platform, const std::string& spec);
// The file's bytes, at most largest of them; false when it cannot be opened.
bool ReadWholeFile(FilePlatform& platform, const std::string& path, size_t largest, std::string& text);

// The headers of the file at path; none when the file cannot be read.
std::optional<PeHeaders> ReadPeHeadersOf(FilePlatform& platform, const std::string& path);

}  // namespace ravlin
