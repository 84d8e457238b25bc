#include "inspection/CanonicalPath.h"

#include <vector>

namespace ravlin {
namespace {

bool StartsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

// The part no ".." climbs above: "C:\", "\\server\share\", "\" or nothing.
size_t RootLength(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.size() > 2 && path[2] == '\\' ? 3 : 2;
  if (!StartsWith(path, "\\\\")) return path.empty() || path[0] != '\\' ? 0 : 1;
  size_t end = path.find('\\', 2);                       // after the server
  if (end != std::string::npos) end = path.find('\\', end + 1);  // after the share
  return end == std::string::npos ? path.size() : end + 1;
}

std::string WithoutTrailing(std::string segment, const char* characters) {
  const size_t end = segment.find_last_not_of(characters);
  segment.resize(end == std::string::npos ? 0 : end + 1);
  return segment;
}

}  // namespace

std::string CanonicalPath(const std::string& spelled) {
  std::string path = spelled;
  if (StartsWith(path, "\\\\?\\UNC\\")) path = "\\\\" + path.substr(8);
  else if (StartsWith(path, "\\\\?\\")) path = path.substr(4);
  const size_t rootLength = RootLength(path);
  std::vector<std::string> segments;
  for (size_t start = rootLength; start <= path.size();) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    const std::string segment = path.substr(start, end - start);
    if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!segment.empty() && segment != ".") {
      const bool ownPeriod = segment.back() == '.' && (segment.size() < 2 || segment[segment.size() - 2] != '.');
      segments.push_back(ownPeriod ? segment.substr(0, segment.size() - 1) : segment);
    }
    start = end + 1;
  }
  std::string canonical = path.substr(0, rootLength);
  for (size_t i = 0; i < segments.size(); ++i) {
    const bool last = i + 1 == segments.size();
    canonical += (i > 0 ? "\\" : "") + (last ? WithoutTrailing(segments[i], ". ") : segments[i]);
  }
  return canonical;
}

}  // namespace ravlin
