#include "inspection/RegistrationState.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "inspection/PeImage.h"
#include "inspection/PlatformFile.h"
#include "platform/Probes.h"
#include "platform/RegistryKey.h"
#include "platform/ResumeNext.h"
#include "platform/Text.h"

namespace ravlin {
namespace {

// Keys beneath one opened in a view are in that view already: nothing is
// redirected again, and saying so spares Wine a walk over each part of the path.
constexpr uint32_t kBeneath = kKeyWow64_64Key;

// The key access for one view; a file of no known machine is read in the program's own.
uint32_t ViewFlag(uint16_t machine) {
  if (machine == kMachineI386) return kKeyWow64_32Key;
  if (machine == kMachineAmd64 || machine == kMachineArm64 || machine == kMachineIa64)
    return kKeyWow64_64Key;
  return 0;
}

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

std::string Joined(const ClassesRoot& root, const char* key) {
  return root.path.empty() ? key : root.path + "\\" + key;
}

// How reading one key of a root went.
enum class KeyRead { Absent, Read, Failed };

// The registry's clock and the clock read at the start may differ a little,
// and a key's time may be rounded: a key written this shortly before the
// earlier read began is visited again.
constexpr uint64_t kClockSlack = 2 * 10000000ull;  // 2 s in 100 ns units

class StateReader {
 public:
  StateReader(Platform& platform, const FileMatcher& matcher, uint32_t view, const ReadOptions& options)
      : platform_(platform),
        matcher_(matcher),
        view_(view),
        typeLibraryKey_(view == kKeyWow64_64Key || (view == 0 && sizeof(void*) == 8) ? "\\win64" : "\\win32"),
        since_(options.since),
        stop_(options.stop),
        longRead_(options.longRead) {}

  // What the next read may start from: the classes and libraries seen naming the file or its name.
  ReadBasis& basis() { return basis_; }

  // One pass over a root's classes; a class some earlier root had is left out.
  // Each class costs four registry calls (name, open, read, close), which
  // under Wine are four round trips to its server: nothing more is asked of
  // a class whose server is some other file. After an earlier read only the
  // name and its time are asked of a class that cannot have changed.
  KeyRead ReadClasses(const std::vector<ClassesRoot>& roots, size_t index, RegistrationState& state) {
    const ClassesRoot& root = roots[index];
    const bool laterRoots = index + 1 < roots.size();
    RegistryKey classes(platform_, root.key, Joined(root, "CLSID"), kKeyRead | view_);
    std::vector<std::string> clsids;
    std::vector<uint64_t> times;
    if (!classes.SubKeyNames(&clsids, since_ ? &times : nullptr)) return Outcome(classes);
    if (longRead_ && clsids.size() > kQuickReadClasses) longRead_->store(true);
    std::vector<std::string> readHere;  // for the roots after this one
    for (size_t i = 0; i < clsids.size(); ++i) {
      if (Stopped()) return KeyRead::Failed;
      const std::string& clsid = clsids[i];
      if (since_ && !Visits(times[i], since_->classes, clsid)) {
        if (laterRoots) unvisited_.push_back(Lower(clsid));
        continue;
      }
      const std::string server =
          RegistryKey(platform_, classes.get(), clsid + "\\InprocServer32", kKeyQueryValue | kBeneath)
              .StringValue("");
      if (server.empty()) continue;
      if (laterRoots) readHere.push_back(Lower(clsid));
      std::string path;
      const PathMatch match = matcher_.Match(server, &path);
      if (match == PathMatch::Unrelated) continue;
      basis_.classes.push_back(Lower(clsid));
      if (Contains(seenClasses_, Lower(clsid)) || ServedEarlier(roots, index, clsid)) continue;
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
    std::vector<uint64_t> times;
    if (!libraries.SubKeyNames(&libids, since_ ? &times : nullptr)) return Outcome(libraries);
    std::vector<std::string> versions;
    for (size_t i = 0; i < libids.size(); ++i) {
      if (Stopped()) return KeyRead::Failed;
      const std::string& libid = libids[i];
      if (since_ && !Visits(times[i], since_->libraries, libid)) continue;
      RegistryKey library(platform_, libraries.get(), libid, kKeyRead | kBeneath);
      library.SubKeyNames(&versions);
      for (const std::string& version : versions) {
        const std::string key = Lower(libid + "\\" + version);
        if (Contains(seenLibraries_, key)) continue;
        const PathMatch match = VersionNames(library, version);
        if (match != PathMatch::Unrelated) basis_.libraries.push_back(Lower(libid));
        if (match != PathMatch::ThisFile) continue;
        seenLibraries_.push_back(key);
        RegistryKey versionKey(platform_, library.get(), version, kKeyQueryValue | kBeneath);
        state.typeLibraries.push_back({libid, versionKey.StringValue(""), version});
      }
    }
    return KeyRead::Read;
  }

  // The registry's first refusal; 0 when none.
  int32_t failure() const { return failure_; }

 private:
  // A key that is not there holds nothing; one that could not be read leaves
  // the state unknown, and the first refusal is kept to be told.
  KeyRead Outcome(const RegistryKey& key) {
    if (!key.IsOpen() && key.status() == kErrorFileNotFound) return KeyRead::Absent;
    if (failure_ == 0) failure_ = key.status();
    return KeyRead::Failed;
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

  bool Stopped() const { return stop_ && stop_->load(std::memory_order_relaxed); }

  // A key written since the earlier read began, or one it saw naming the file or its name.
  bool Visits(uint64_t written, const std::vector<std::string>& seen, const std::string& name) const {
    return written + kClockSlack >= since_->startedAt || Contains(seen, Lower(name));
  }

  // Whether a root before this one, in a part the read passed over, has the class with a server.
  bool ServedEarlier(const std::vector<ClassesRoot>& roots, size_t index, const std::string& clsid) {
    if (!Contains(unvisited_, Lower(clsid))) return false;
    for (size_t i = 0; i < index; ++i) {
      const RegistryKey server(platform_, roots[i].key, Joined(roots[i], "CLSID\\") + clsid + "\\InprocServer32",
                               kKeyQueryValue | view_);
      if (!server.StringValue("").empty()) return true;
    }
    return false;
  }

  // Whether the version names the file, another file of its name, or neither.
  PathMatch VersionNames(const RegistryKey& library, const std::string& version) {
    RegistryKey versionKey(platform_, library.get(), version, kKeyRead | kBeneath);
    std::vector<std::string> locales;
    versionKey.SubKeyNames(&locales);
    PathMatch found = PathMatch::Unrelated;
    for (const std::string& locale : locales) {
      const std::string lower = Lower(locale);
      if (lower == "flags" || lower == "helpdir") continue;
      const std::string value =
          RegistryKey(platform_, versionKey.get(), locale + typeLibraryKey_, kKeyQueryValue | kBeneath)
              .StringValue("");
      std::string path;
      const PathMatch match = value.empty() ? PathMatch::Unrelated : matcher_.Match(value, &path);
      if (match == PathMatch::ThisFile) return match;
      if (match == PathMatch::SameName) found = match;
    }
    return found;
  }

  Platform& platform_;
  const FileMatcher& matcher_;
  uint32_t view_;
  int32_t failure_ = 0;
  // The type library's entry for the file's own kind: the other names the
  // other kind's copy, whose path reads differently (system32 is not SysWOW64 there).
  const char* typeLibraryKey_;
  // Searched only for the few classes that may name the file; no tree
  // container, which would add to the program's size.
  std::vector<std::string> seenClasses_;    // lower case
  std::vector<std::string> seenLibraries_;  // "libid\version", lower case
  const ReadBasis* since_;
  const std::atomic<bool>* stop_;
  std::atomic<bool>* longRead_;
  std::vector<std::string> unvisited_;  // classes of earlier roots passed over, lower case
  ReadBasis basis_;
};

}  // namespace

std::vector<ClassesRoot> DefaultClassesRoots() {
  return {{HkeyCurrentUser(), "Software\\Classes"}, {HkeyLocalMachine(), "Software\\Classes"}};
}

RegistrationState ReadRegistrationState(Platform& platform, const std::string& filePath,
                                        uint16_t machine, const std::vector<ClassesRoot>& roots,
                                        const ReadOptions& options) {
  const uint64_t startedAt = platform.GetSystemTimeAsFileTime();
  if (machine == 0) {
    const std::optional<PeHeaders> headers = ReadPeHeadersOf(platform, filePath);
    if (headers && headers->isImage) machine = headers->machine;
  }
  const FileMatcher matcher(platform, PathRulesFor(platform, machine), PathRulesFor(platform, 0),
                            filePath);
  const uint32_t view = ViewFlag(machine);
  ReadOptions own = options;
  if (own.since && (own.since->file != filePath || own.since->view != view)) own.since = nullptr;
  StateReader reader(platform, matcher, view, own);
  RegistrationState state;
  bool someRead = false, someFailed = false;
  for (size_t i = 0; i < roots.size(); ++i) {
    const KeyRead classes = reader.ReadClasses(roots, i, state);
    const KeyRead libraries = reader.ReadTypeLibraries(roots[i], state);
    someRead = someRead || classes == KeyRead::Read;
    someFailed = someFailed || classes == KeyRead::Failed || libraries == KeyRead::Failed;
  }
  // "Not registered" only from a registry read to its end.
  state.read = someRead && !someFailed;
  state.failure = someFailed ? reader.failure() : 0;
  if (state.failure != 0)
    ResumeNext([&] { state.failureDescription = SystemDescription(platform, static_cast<uint32_t>(state.failure)); });
  if (state.read) {
    state.basis = std::move(reader.basis());
    state.basis.file = filePath;
    state.basis.view = view;
    state.basis.startedAt = startedAt;
  }
  return state;
}

}  // namespace ravlin
