#pragma once
// What a control's type library declares: the library and its classes. Read
// through the platform without registering anything.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace ravlin {

struct TypeLibraryClass {
  std::string clsid;  // "{...}"
  std::string name;   // the coclass's name, "WshShell"
  bool creatable = false;
  bool control = false;
};

struct TypeLibrary {
  int32_t result = 0;     // LoadTypeLibEx's; the rest is empty unless it succeeded
  std::string libid;      // "{...}"
  std::string name;       // "IWshRuntimeLibrary"
  std::string version;    // decimal "major.minor", "1.0"
  uint16_t flags = 0;     // kLibFlag... of Platform.h
  std::vector<TypeLibraryClass> classes;

  bool Read() const { return result >= 0; }
  // Whether a program could create one of its classes.
  bool DeclaresCreatableClass() const;
};

TypeLibrary ReadTypeLibrary(Platform& platform, const std::string& filePath);

// Whether the file is expected to register a class: its type library declares
// a creatable one, or it is named a control (.ocx). A library that registers
// other things (a crypto provider, a stub) is not.
bool ExpectsClasses(Platform& platform, const std::string& filePath);

}  // namespace ravlin
