#include "platform/win32/SystemLibrary.h"

#include <string>

namespace ravlin {
namespace {

HMODULE LoadFromSystemFolder(const char* name) {
  char folder[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  // The full path rather than the name: a library of that name already in the
  // process, taken from elsewhere by someone else, is not handed back.
  const std::string path = std::string(folder) + "\\" + name;
  HMODULE module = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Systems without the flag (before KB2533623) reject it; its own imports are
  // then looked for beside it first.
  if (!module && ::GetLastError() == ERROR_INVALID_PARAMETER)
    module = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  return module;
}

}  // namespace

SystemLibrary::SystemLibrary(const char* name) : module_(LoadFromSystemFolder(name)) {}

SystemLibrary::~SystemLibrary() {
  if (module_) ::FreeLibrary(module_);
}

const SystemLibrary& VersionLibrary() {
  static const SystemLibrary library("version.dll");
  return library;
}

const SystemLibrary& ShellLibrary() {
  static const SystemLibrary library("shell32.dll");
  return library;
}

const SystemLibrary& ComLibrary() {
  static const SystemLibrary library("ole32.dll");
  return library;
}

const SystemLibrary& AutomationLibrary() {
  static const SystemLibrary library("oleaut32.dll");
  return library;
}

FARPROC SystemLibrary::Export(const char* exportName) const {
  return module_ ? ::GetProcAddress(module_, exportName) : nullptr;
}

}  // namespace ravlin
