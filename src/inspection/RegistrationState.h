#pragma once
// What the registry says about one control file: the classes and type
// libraries registered to it, and the classes registered to another file of
// the same name. Read in the registry view of the file's own architecture.
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace ravlin {

struct RegisteredClass {
  std::string clsid;   // the key's name, "{...}"
  std::string progId;  // the version-independent one where there is one; "" if none
  std::string name;    // the class key's default value; "" if none
};

struct RegisteredTypeLibrary {
  std::string libid;    // the key's name, "{...}"
  std::string name;     // the version key's default value
  std::string version;  // the version key's name, "1.0"
};

// A class whose server is another file of the same file name.
struct ClassOfAnotherCopy {
  RegisteredClass registeredClass;
  std::string path;  // that file, expanded and in full
  bool exists = false;
};

// What a read of a file leaves for the next read of the same file: when it
// began and which classes and type libraries named the file or a copy of its
// name, in any root. The next read visits those and every key written since;
// every other class it takes to name some other file still.
struct ReadBasis {
  std::string file;        // as the read was given it; "" when the read gives no basis
  uint32_t view = 0;       // the registry view read
  uint64_t startedAt = 0;  // the registry's clock when the read began
  std::vector<std::string> classes;    // lower case
  std::vector<std::string> libraries;  // lower case
};

struct RegistrationState {
  // False when the classes could not be read to their end, or no root has
  // any: then nothing is known, not even that nothing is registered.
  bool read = false;
  // Why the registry refused the read (a system error code) and the system's
  // words for it; 0 when nothing refused it.
  int32_t failure = 0;
  std::string failureDescription;
  std::vector<RegisteredClass> classes;
  std::vector<RegisteredTypeLibrary> typeLibraries;
  std::vector<ClassOfAnotherCopy> otherCopies;
  ReadBasis basis;  // only of a read to its end
};

struct ReadOptions {
  // A basis of an earlier read of the same file and view: only what can have
  // changed since is visited. Any other basis is passed over.
  const ReadBasis* since = nullptr;
  // Set by another thread, it ends the read, unread.
  const std::atomic<bool>* stop = nullptr;
  // Set by the read once a root holds more classes than a read the user
  // waits for can cover.
  std::atomic<bool>* longRead = nullptr;
};

constexpr size_t kQuickReadClasses = 3000;

// A key holding CLSID and TypeLib, as HKEY_CLASSES_ROOT does.
struct ClassesRoot {
  RegKey key;
  std::string path;  // below key; "" for key itself
};

// The per-user classes first, which win over the machine's, then the
// machine's: what HKEY_CLASSES_ROOT merges on Windows. Wine 8 shows only the
// machine's there, and leaks a handle for every open through it in a registry
// view. A class already read from an earlier root is skipped.
std::vector<ClassesRoot> DefaultClassesRoots();

// The state of the file at filePath. machine is the file's (a kMachine...
// value of PeImage.h), or 0 to read it from the file's headers; a file that is
// no image is read in the program's own view. A failing platform call ends
// the read with its exception: the caller guards it.
RegistrationState ReadRegistrationState(Platform& platform, const std::string& filePath,
                                        uint16_t machine = 0,
                                        const std::vector<ClassesRoot>& roots = DefaultClassesRoots(),
                                        const ReadOptions& options = {});

// --- How a registry value names a file, for one architecture's loader ------------------

struct PathRules {
  std::string systemFolder;      // where a bare file name is
  std::string redirectedFolder;  // a path in it means the same one in systemFolder; "" if none
};

// The rules of the loader of that machine's code (0: this program's own), in
// the names this program sees the files by.
PathRules PathRulesFor(Platform& platform, uint16_t machine);

enum class PathMatch { Unrelated, ThisFile, SameName };

class FileMatcher {
 public:
  // The registry's values are read by valueRules, the file's path (as this
  // program names it) by fileRules.
  FileMatcher(Platform& platform, PathRules valueRules, const PathRules& fileRules,
              const std::string& filePath);

  // Whether value names the file, another file of its name, or neither; for
  // the first two, *path gets the file value names, expanded and in full.
  PathMatch Match(const std::string& value, std::string* path) const;
  // The file a registry value names, expanded and in full, by the value rules;
  // none when it names no file.
  std::optional<std::string> Resolve(const std::string& value) const { return Normalise(value, rules_); }

 private:
  // The file value names, in full; none when it names no file (too long, or
  // its expansion is).
  std::optional<std::string> Normalise(const std::string& value, const PathRules& rules) const;

  Platform& platform_;
  PathRules rules_;
  std::string file_;  // lower case
  std::string name_;  // lower case
};

}  // namespace ravlin
