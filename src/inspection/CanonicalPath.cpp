#include "inspection/CanonicalPath.h"

namespace ravlin {
namespace {

bool StartsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

// The part no ".." climbs above: "C:\", "\\server\share\", "\" or nothing.
size_t RootLength(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.size() > 2 && path[2] == '\\' ? 3 : 2;
  if (!StartsWith(path, "\\\\")) return path.empty() || path[0] != '\\' ? 0 : 1;
  size_t end = path.find('\\', 2);                               // after the server
  if (end != std::string::npos) end = path.find('\\', end + 1);  // after the share
  return end == std::string::npos ? path.size() : end + 1;
}

}  // namespace

// One pass over the segments, each appended to the root or, for "..", taking the last one back.
std::string CanonicalPath(const std::string& spelled) {
  const size_t skip = StartsWith(spelled, "\\\\?\\UNC\\") ? 6 : StartsWith(spelled, "\\\\?\\") ? 4 : 0;
  std::string path = spelled.substr(skip);
  if (skip == 6) path[0] = '\\';  // "\\?\UNC\server" is "\\server"
  const size_t root = RootLength(path);
  std::string canonical = path.substr(0, root);
  for (size_t start = root, end = 0; start <= path.size(); start = end + 1) {
    end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    std::string segment = path.substr(start, end - start);
    if (segment == "..") {
      const size_t last = canonical.find_last_of('\\');
      canonical.resize(last == std::string::npos || last < root ? root : last);
      continue;
    }
    if (segment.empty() || segment == ".") continue;
    // A segment loses one trailing period, the last one all its trailing periods and spaces.
    if (end == path.size()) segment.resize(segment.find_last_not_of(". ") + 1);
    else if (segment.back() == '.' && segment[segment.size() - 2] != '.') segment.pop_back();
    canonical += (canonical.size() > root ? "\\" : "") + segment;
  }
  return canonical;
}

}  // namespace ravlin
