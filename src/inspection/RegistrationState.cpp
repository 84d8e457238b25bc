#include "inspection/RegistrationState.h"

#include <algorithm>
#include <cctype>

#include "inspection/PeImage.h"
#include "inspection/PlatformFile.h"
#include "platform/RegistryKey.h"
#include "platform/Text.h"

namespace ravlin {
namespace {

constexpr bool kProgramIs64 = sizeof(void*) == 8;
// Keys beneath one opened in a view are in that view already: nothing is
// redirected again, and saying so spares Wine a walk over each part of the path.
constexpr uint32_t kBeneath = kKeyWow64_64Key;

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

// ExpandEnvironmentStringsA answers with the size including the NUL.
std::string Expanded(Platform& platform, const std::string& text) {
  std::string buffer(text.size() + 260, '\0');
  uint32_t size = platform.ExpandEnvironmentStringsA(text.c_str(), &buffer[0],
                                                     static_cast<uint32_t>(buffer.size()));
  if (size > buffer.size()) {
    buffer.assign(size, '\0');
    size = platform.ExpandEnvironmentStringsA(text.c_str(), &buffer[0], size);
  }
  if (size == 0 || size > buffer.size()) return text;
  buffer.resize(size - 1);
  return buffer;
}

// The key access for one view; a file of no known machine is read in the program's own.
uint32_t ViewFlag(uint16_t machine) {
  if (machine == kMachineI386) return kKeyWow64_32Key;
  if (machine == kMachineAmd64 || machine == kMachineArm64 || machine == kMachineIa64)
    return kKeyWow64_64Key;
  return 0;
}

bool IsBits64(uint16_t machine) {
  const uint32_t view = ViewFlag(machine);
  return view == 0 ? kProgramIs64 : view == kKeyWow64_64Key;
}

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

std::string Joined(const ClassesRoot& root, const char* key) {
  return root.path.empty() ? key : root.path + "\\" + key;
}

// How reading one key of a root went.
enum class KeyRead { Absent, Read, Failed };

class StateReader {
 public:
  StateReader(Platform& platform, const FileMatcher& matcher, uint32_t view)
      : platform_(platform),
        matcher_(matcher),
        view_(view),
        typeLibraryKey_(view == kKeyWow64_64Key || (view == 0 && sizeof(void*) == 8) ? "\\win64" : "\\win32") {}

  // One pass over a root's classes; a class some earlier root had is left out.
  // Each class costs four registry calls (name, open, read, close), which
  // under Wine are four round trips to its server: nothing more is asked of
  // a class whose server is some other file.
  KeyRead ReadClasses(const ClassesRoot& root, bool laterRoots, RegistrationState& state) {
    RegistryKey classes(platform_, root.key, Joined(root, "CLSID"), kKeyRead | view_);
    std::vector<std::string> clsids;
    if (!classes.SubKeyNames(&clsids)) return Outcome(classes);
    std::vector<std::string> readHere;  // for the roots after this one
    for (const std::string& clsid : clsids) {
      const std::string server =
          RegistryKey(platform_, classes.get(), clsid + "\\InprocServer32", kKeyQueryValue | kBeneath)
              .StringValue("");
      if (server.empty()) continue;
      if (laterRoots) readHere.push_back(Lower(clsid));
      std::string path;
      const PathMatch match = matcher_.Match(server, &path);
      if (match == PathMatch::Unrelated || Contains(seenClasses_, Lower(clsid))) continue;
      if (match == PathMatch::ThisFile) state.classes.push_back(ClassAt(classes, clsid));
      if (match == PathMatch::SameName)
        state.otherCopies.push_back({ClassAt(classes, clsid), path, IsOrdinaryFile(platform_, path)});
    }
    seenClasses_.insert(seenClasses_.end(), readHere.begin(), readHere.end());
    return KeyRead::Read;
  }

  // TypeLib\{libid}\{version}\{lcid}\win32 or win64 holds the file's path.
  // A library or version that cannot be read is passed over.
  KeyRead ReadTypeLibraries(const ClassesRoot& root, RegistrationState& state) {
    RegistryKey libraries(platform_, root.key, Joined(root, "TypeLib"), kKeyRead | view_);
    std::vector<std::string> libids;
    if (!libraries.SubKeyNames(&libids)) return Outcome(libraries);
    std::vector<std::string> versions;
    for (const std::string& libid : libids) {
      RegistryKey library(platform_, libraries.get(), libid, kKeyRead | kBeneath);
      library.SubKeyNames(&versions);
      for (const std::string& version : versions) {
        const std::string key = Lower(libid + "\\" + version);
        if (Contains(seenLibraries_, key) || !VersionNamesFile(library, version)) continue;
        seenLibraries_.push_back(key);
        RegistryKey versionKey(platform_, library.get(), version, kKeyQueryValue | kBeneath);
        state.typeLibraries.push_back({libid, versionKey.StringValue(""), version});
      }
    }
    return KeyRead::Read;
  }

 private:
  // A key that is not there holds nothing; one that could not be read leaves the state unknown.
  static KeyRead Outcome(const RegistryKey& key) {
    return !key.IsOpen() && key.status() == kErrorFileNotFound ? KeyRead::Absent : KeyRead::Failed;
  }

  RegisteredClass ClassAt(const RegistryKey& classes, const std::string& clsid) {
    RegisteredClass found{clsid, {}, {}};
    found.name = RegistryKey(platform_, classes.get(), clsid, kKeyQueryValue | kBeneath).StringValue("");
    for (const char* progIdKey : {"VersionIndependentProgID", "ProgID"}) {
      found.progId = RegistryKey(platform_, classes.get(), clsid + "\\" + progIdKey, kKeyQueryValue | kBeneath)
                         .StringValue("");
      if (!found.progId.empty()) break;
    }
    return found;
  }

  bool VersionNamesFile(const RegistryKey& library, const std::string& version) {
    RegistryKey versionKey(platform_, library.get(), version, kKeyRead | kBeneath);
    std::vector<std::string> locales;
    versionKey.SubKeyNames(&locales);
    for (const std::string& locale : locales) {
      const std::string lower = Lower(locale);
      if (lower == "flags" || lower == "helpdir") continue;
      const std::string value =
          RegistryKey(platform_, versionKey.get(), locale + typeLibraryKey_, kKeyQueryValue | kBeneath)
              .StringValue("");
      std::string path;
      if (!value.empty() && matcher_.Match(value, &path) == PathMatch::ThisFile) return true;
    }
    return false;
  }

  Platform& platform_;
  const FileMatcher& matcher_;
  uint32_t view_;
  // The type library's entry for the file's own kind: the other names the
  // other kind's copy, whose path reads differently (system32 is not SysWOW64 there).
  const char* typeLibraryKey_;
  // Searched only for the few classes that may name the file; no tree
  // container, which would add to the program's size.
  std::vector<std::string> seenClasses_;    // lower case
  std::vector<std::string> seenLibraries_;  // "libid\version", lower case
};

}  // namespace

std::vector<ClassesRoot> DefaultClassesRoots() {
  return {{HkeyCurrentUser(), "Software\\Classes"}, {HkeyLocalMachine(), "Software\\Classes"}};
}

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
  file_ = Lower(Normalise(filePath, fileRules));
  name_ = FileNameOf(file_);
}

std::string FileMatcher::Normalise(const std::string& value, const PathRules& rules) const {
  std::string path = Trimmed(value.find('%') == std::string::npos ? value : Expanded(platform_, value));
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
  // Most classes are another file's: their name alone tells, without a platform call.
  const std::string name = Lower(FileNameOf(Trimmed(value)));
  if (name != name_ && name.find_first_of("~%") == std::string::npos) return PathMatch::Unrelated;
  const std::string full = Normalise(value, rules_);
  const std::string lower = Lower(full);
  if (lower == file_) {
    *path = full;
    return PathMatch::ThisFile;
  }
  if (FileNameOf(lower) != name_) return PathMatch::Unrelated;
  *path = full;
  return PathMatch::SameName;
}

RegistrationState ReadRegistrationState(Platform& platform, const std::string& filePath,
                                        uint16_t machine, const std::vector<ClassesRoot>& roots) {
  if (machine == 0) {
    const std::optional<PeHeaders> headers = ReadPeHeadersOf(platform, filePath);
    if (headers && headers->isImage) machine = headers->machine;
  }
  const FileMatcher matcher(platform, PathRulesFor(platform, machine), PathRulesFor(platform, 0),
                            filePath);
  StateReader reader(platform, matcher, ViewFlag(machine));
  RegistrationState state;
  bool someRead = false, someFailed = false;
  for (size_t i = 0; i < roots.size(); ++i) {
    const KeyRead classes = reader.ReadClasses(roots[i], i + 1 < roots.size(), state);
    const KeyRead libraries = reader.ReadTypeLibraries(roots[i], state);
    someRead = someRead || classes == KeyRead::Read;
    someFailed = someFailed || classes == KeyRead::Failed || libraries == KeyRead::Failed;
  }
  // "Not registered" only from a registry read to its end.
  state.read = someRead && !someFailed;
  return state;
}

}  // namespace ravlin
