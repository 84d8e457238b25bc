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

// The first and last characters of the text around "...", cut on character boundaries.
std::string MiddleLeftOut(const std::string& text) {
  const size_t keep = kShownPathCharacters / 2;
  size_t head = 0;
  for (size_t seen = 0; head < text.size(); ++head)
    if ((static_cast<unsigned char>(text[head]) & 0xC0) != 0x80 && seen++ == keep) break;
  size_t tail = text.size();
  for (size_t seen = 0; tail > head; --tail)
    if ((static_cast<unsigned char>(text[tail - 1]) & 0xC0) != 0x80 && ++seen == keep) {
      --tail;
      break;
    }
  return text.substr(0, head) + "..." + text.substr(tail);
}

}  // namespace

std::string ShownPath(const std::string& path) {
  if (CharacterCount(path) <= kShownPathCharacters) return path;
  const size_t head = FirstFolderEnd(path);
  const size_t name = path.find_last_of('\\');
  std::string shown = path;
  if (head != std::string::npos && name != std::string::npos && name > head)
    shown = path.substr(0, head) + "\\..." + path.substr(name);
  // A first folder or a name too long to keep whole, as only a hostile value has.
  return CharacterCount(shown) <= 2 * kShownPathCharacters ? shown : MiddleLeftOut(shown);
}

}  // namespace ravlin
