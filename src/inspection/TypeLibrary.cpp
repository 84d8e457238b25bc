#include "inspection/TypeLibrary.h"

#include <cctype>

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
  std::string extension = filePath.size() >= 4 ? filePath.substr(filePath.size() - 4) : std::string();
  for (char& ch : extension) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  if (extension == ".ocx") return true;
  return ReadTypeLibrary(platform, filePath).DeclaresCreatableClass();
}

}  // namespace ravlin
