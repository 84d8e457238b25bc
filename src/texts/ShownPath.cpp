#include "texts/ShownPath.h"

#include "platform/Text.h"

namespace ravlin {
namespace {

// Where the first folder ends: after the root ("C:\", "\\server\share\", "\") and one more segment.
size_t FirstFolderEnd(const std::string& path) {
  size_t at = 0;
  if (path.compare(0, 2, "\\\\") == 0) {
    at = path.find('\\', 2);  // after the server
    if (at != std::string::npos) at = path.find('\\', at + 1);  // after the share
  } else {
    at = path.find('\\');
  }
  return at == std::string::npos ? std::string::npos : path.find('\\', at + 1);
}

}  // namespace

std::string ShownPath(const std::string& path) {
  if (CharacterCount(path) <= kShownPathCharacters) return path;
  const size_t head = FirstFolderEnd(path);
  const size_t name = path.find_last_of('\\');
  if (head == std::string::npos || name == std::string::npos || name <= head) return path;
  return path.substr(0, head) + "\\..." + path.substr(name);
}

}  // namespace ravlin
