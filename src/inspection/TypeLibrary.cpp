#include "inspection/TypeLibrary.h"

#include "platform/Text.h"

namespace ravlin {

bool TypeLibrary::DeclaresCreatableClass() const {
  for (const TypeLibraryClass& coclass : classes)
    if (coclass.creatable) return true;
  return false;
}

TypeLibrary ReadTypeLibrary(Platform& platform, const std::string& filePath) {
  TypeLibrary library;
  TypeLibraryAttributes attributes;
  library.result = platform.LoadTypeLibraryA(filePath.c_str(), &attributes);
  if (!library.Read()) return library;
  library.libid = attributes.libid;
  library.name = attributes.name;
  library.version = std::to_string(attributes.majorVersion) + "." + std::to_string(attributes.minorVersion);
  library.flags = attributes.flags;
  for (const TypeLibraryClassAttributes& coclass : attributes.classes)
    library.classes.push_back({coclass.clsid, coclass.name, (coclass.typeFlags & kTypeFlagCanCreate) != 0,
                               (coclass.typeFlags & kTypeFlagControl) != 0});
  return library;
}

bool ExpectsClasses(Platform& platform, const std::string& filePath) {
  const std::string name = Lower(FileNameOf(filePath));
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".ocx") == 0) return true;
  return ReadTypeLibrary(platform, filePath).DeclaresCreatableClass();
}

}  // namespace ravlin
