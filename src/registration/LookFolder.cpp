#include "registration/LookFolder.h"

#include <cctype>
#include <cstdlib>

#include "platform/Probes.h"
#include "platform/ResumeNext.h"

namespace ravlin {
namespace {

constexpr char kPrefix[] = "ravlin-";

std::string TemporaryFolder(Platform& platform) {
  char temp[1024] = {};
  const uint32_t length = platform.GetTempPathA(sizeof(temp), temp);
  if (length == 0 || length >= sizeof(temp)) return {};
  std::string folder(temp, length);
  if (folder.back() != '\\') folder += '\\';
  return folder;
}

bool AllDigits(const std::string& text) {
  if (text.empty() || text.size() > 10) return false;
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

// The process a look folder's name carries; 0 when the name is not one of ours.
uint32_t ProcessOf(const std::string& name) {
  const size_t last = name.rfind('-');
  if (name.compare(0, sizeof kPrefix - 1, kPrefix) != 0 || last == std::string::npos || last == 0) return 0;
  const size_t before = name.rfind('-', last - 1);
  if (before == std::string::npos || before < sizeof kPrefix - 1) return 0;
  const std::string process = name.substr(before + 1, last - before - 1);
  if (!AllDigits(process) || !AllDigits(name.substr(last + 1))) return 0;
  return static_cast<uint32_t>(std::strtoul(process.c_str(), nullptr, 10));
}

// Each entry of a folder matching pattern, the search closed at the end.
template <typename Visit>
void EachEntry(Platform& platform, const std::string& pattern, Visit visit) {
  FindData entry;
  const Handle search = platform.FindFirstFileA(pattern.c_str(), &entry);
  if (search == InvalidHandleValue()) return;
  for (bool more = true; more; more = platform.FindNextFileA(search, &entry) != 0) visit(entry);
  platform.FindClose(search);
}

}  // namespace

std::string NewTemporaryFolder(Platform& platform, const std::string& label) {
  const std::string temporary = TemporaryFolder(platform);
  if (temporary.empty()) return {};
  const std::string base = temporary + kPrefix + label + "-" + std::to_string(platform.GetCurrentProcessId()) + "-";
  for (unsigned number = 1; number <= 100; ++number) {
    const std::string folder = base + std::to_string(number);
    if (platform.CreateDirectoryA(folder.c_str())) return folder;
    const uint32_t error = platform.GetLastError();
    if (error != kErrorAlreadyExists && error != kErrorFileExists) return {};
  }
  return {};
}

void RemoveLookFolder(Platform& platform, const std::string& folder) {
  if (folder.empty()) return;
  ResumeNext([&] {
    EachEntry(platform, folder + "\\*", [&](const FindData& entry) {
      if (!(entry.attributes & kFileAttributeDirectory)) platform.DeleteFileA((folder + "\\" + entry.name).c_str());
    });
    platform.RemoveDirectoryA(folder.c_str());
  });
}

void RemoveEndedLookFolders(Platform& platform) {
  ResumeNext([&] {
    const std::string temporary = TemporaryFolder(platform);
    if (temporary.empty()) return;
    EachEntry(platform, temporary + kPrefix + "*", [&](const FindData& entry) {
      const uint32_t process = ProcessOf(entry.name);
      if ((entry.attributes & kFileAttributeDirectory) && process != 0 && ProcessHasEnded(platform, process))
        RemoveLookFolder(platform, temporary + entry.name);
    });
  });
}

}  // namespace ravlin
