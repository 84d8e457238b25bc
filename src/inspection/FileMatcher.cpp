// How a registry value names a file: the path rules of each loader, and the
// comparison of a value with the file, both made canonical first.
#include <algorithm>
#include <optional>

#include "inspection/CanonicalPath.h"
#include "inspection/PeImage.h"
#include "inspection/RegistrationState.h"
#include "platform/Probes.h"
#include "platform/Text.h"

namespace ravlin {
namespace {

constexpr bool kProgramIs64 = sizeof(void*) == 8;

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// Surrounding blanks and one pair of enclosing quotes go; slashes become backslashes.
std::string Trimmed(const std::string& value) {
  const size_t first = value.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  std::string text = WithoutEnclosingQuotes(value.substr(first, value.find_last_not_of(" \t") - first + 1));
  std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}

// The longest path Windows takes, in characters: a longer value names no file.
constexpr size_t kMaxPathCharacters = 32767;
// In the program's UTF-8, a character takes at most this many bytes of it.
constexpr size_t kMaxPathBytes = kMaxPathCharacters * 3;

bool TooLongForAPath(const std::string& text) {
  return text.size() > kMaxPathCharacters && CharacterCount(text) > kMaxPathCharacters;
}

// The expansion, asked once into a buffer as long as a path can be; none
// when it would be longer, which no file's name is. ExpandEnvironmentStringsA
// answers with the size including the NUL.
std::optional<std::string> Expanded(Platform& platform, const std::string& text) {
  std::string buffer(kMaxPathBytes + 1, '\0');
  const uint32_t size = platform.ExpandEnvironmentStringsA(text.c_str(), &buffer[0],
                                                           static_cast<uint32_t>(buffer.size()));
  if (size == 0 || size > buffer.size()) return std::nullopt;
  buffer.resize(size - 1);
  if (TooLongForAPath(buffer)) return std::nullopt;
  return buffer;
}


// 64-bit code: the 64-bit machines; a file of no known machine is taken as this program's own kind.
bool IsBits64(uint16_t machine) {
  if (machine == kMachineI386) return false;
  if (machine == kMachineAmd64 || machine == kMachineArm64 || machine == kMachineIa64) return true;
  return kProgramIs64;
}

}  // namespace

PathRules PathRulesFor(Platform& platform, uint16_t machine) {
  const std::string system =
      BufferedText([&](char* b, uint32_t n) { return platform.GetSystemDirectoryA(b, n); });
  const std::string wow64 =
      BufferedText([&](char* b, uint32_t n) { return platform.GetSystemWow64DirectoryA(b, n); });
  if (wow64.empty()) return {system, {}};  // a 32-bit system: one system folder
  if (!IsBits64(machine)) return {wow64, system};  // the 32-bit loader's system32 is SysWOW64
  if (kProgramIs64) return {system, {}};
  // The 64-bit system folder, which this 32-bit program reaches under another name.
  const std::string windows =
      BufferedText([&](char* b, uint32_t n) { return platform.GetWindowsDirectoryA(b, n); });
  return {windows + "\\Sysnative", system};
}

FileMatcher::FileMatcher(Platform& platform, PathRules valueRules, const PathRules& fileRules,
                         const std::string& filePath)
    : platform_(platform), rules_(std::move(valueRules)) {
  file_ = Lower(Normalise(filePath, fileRules).value_or(filePath));
  name_ = FileNameOf(file_);
}

std::optional<std::string> FileMatcher::Normalise(const std::string& value, const PathRules& rules) const {
  if (TooLongForAPath(value)) return std::nullopt;
  std::string path = Trimmed(value);
  if (value.find('%') != std::string::npos) {
    const std::optional<std::string> expanded = Expanded(platform_, value);
    if (!expanded) return std::nullopt;
    path = Trimmed(*expanded);
  }
  path = CanonicalPath(path);
  if (path.find_first_of("\\:") == std::string::npos) path = rules.systemFolder + "\\" + path;
  const std::string redirected = Lower(rules.redirectedFolder) + "\\";
  if (!rules.redirectedFolder.empty() && StartsWith(Lower(path), redirected))
    path = rules.systemFolder + path.substr(redirected.size() - 1);
  if (path.find('~') != std::string::npos) {
    const std::string longPath =
        BufferedText([&](char* b, uint32_t n) { return platform_.GetLongPathNameA(path.c_str(), b, n); });
    if (!longPath.empty()) path = longPath;  // a file that is not there keeps the name it was given
  }
  return path;
}

PathMatch FileMatcher::Match(const std::string& value, std::string* path) const {
  // A value longer than any path is no path: it is neither expanded nor compared.
  if (TooLongForAPath(value)) return PathMatch::Unrelated;
  // Most classes are another file's: their name alone tells, without a platform call.
  const std::string name = Lower(FileNameOf(CanonicalPath(Trimmed(value))));
  if (name != name_ && name.find_first_of("~%") == std::string::npos) return PathMatch::Unrelated;
  const std::optional<std::string> full = Normalise(value, rules_);
  if (!full) return PathMatch::Unrelated;
  const std::string lower = Lower(*full);
  if (lower == file_) {
    *path = *full;
    return PathMatch::ThisFile;
  }
  if (FileNameOf(lower) != name_) return PathMatch::Unrelated;
  *path = *full;
  return PathMatch::SameName;
}

}  // namespace ravlin
