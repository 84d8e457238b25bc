#include "inspection/MissingDependency.h"

#include <algorithm>
#include <cctype>

#include "inspection/PlatformFile.h"
#include "platform/Text.h"

namespace ravlin {
namespace {

// Bounds on the walk: a system library's imports reach far.
constexpr size_t kMaxDepth = 16;
constexpr size_t kMaxLibraries = 512;

// API sets are no files: the loader maps them onto the system's own libraries.
bool IsApiSet(const std::string& lowerName) {
  return lowerName.rfind("api-ms-win-", 0) == 0 || lowerName.rfind("ext-ms-", 0) == 0;
}

class Walk {
 public:
  Walk(Platform& platform, std::vector<std::string> folders)
      : platform_(platform), folders_(std::move(folders)) {}

  // Depth first, in import order: the first name found nowhere ends the walk.
  bool Follow(const std::string& path, std::vector<std::string>& chain) {
    std::vector<std::string> imports;
    {
      PlatformFile file(platform_, path);
      if (file.IsOpen()) imports = ReadImportNames(file);
    }
    for (const std::string& name : imports) {
      const std::string lower = Lower(name);
      if (IsApiSet(lower) || std::find(seen_.begin(), seen_.end(), lower) != seen_.end()) continue;
      seen_.push_back(lower);
      chain.push_back(name);
      const std::string found = Resolve(name);
      if (found.empty()) return true;
      if (chain.size() < kMaxDepth && seen_.size() < kMaxLibraries && Follow(found, chain)) return true;
      chain.pop_back();
    }
    return false;
  }

 private:
  std::string Resolve(const std::string& name) {
    for (const std::string& folder : folders_) {
      const std::string path = folder + "\\" + name;
      if (IsOrdinaryFile(platform_, path)) return path;
    }
    return {};
  }

  Platform& platform_;
  std::vector<std::string> folders_;
  std::vector<std::string> seen_;  // a few hundred names at most
};

}  // namespace

std::vector<std::string> FindMissingDependency(Platform& platform, const std::string& libraryPath,
                                               const std::string& systemFolder) {
  // The library's own folder, the system folder, the Windows folder, the current folder, PATH.
  std::vector<std::string> folders{libraryPath.substr(0, libraryPath.find_last_of('\\')), systemFolder};
  folders.push_back(BufferedText([&](char* b, uint32_t n) { return platform.GetWindowsDirectoryA(b, n); }));
  folders.push_back(BufferedText([&](char* b, uint32_t n) { return platform.GetCurrentDirectoryA(n, b); }));
  const std::string path =
      BufferedText([&](char* b, uint32_t n) { return platform.GetEnvironmentVariableA("PATH", b, n); });
  for (size_t start = 0; start <= path.size();) {
    size_t end = path.find(';', start);
    if (end == std::string::npos) end = path.size();
    std::string folder = path.substr(start, end - start);
    folder.erase(std::remove(folder.begin(), folder.end(), '"'), folder.end());
    folders.push_back(folder);
    start = end + 1;
  }
  folders.erase(std::remove_if(folders.begin(), folders.end(), [](const std::string& f) { return f.empty(); }),
                folders.end());
  for (std::string& folder : folders)
    if (folder.back() == '\\') folder.pop_back();

  std::vector<std::string> chain;
  Walk walk(platform, folders);
  if (!walk.Follow(libraryPath, chain)) chain.clear();
  return chain;
}

}  // namespace ravlin
