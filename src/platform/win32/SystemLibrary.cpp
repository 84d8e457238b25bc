#include "platform/win32/SystemLibrary.h"

#include <string>

namespace ravlin {
namespace {

HMODULE LoadFromSystemFolder(const char* name) {
  HMODULE module = ::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Systems without the flag (before KB2533623) reject it: name the system folder's copy.
  if (module || ::GetLastError() != ERROR_INVALID_PARAMETER) return module;
  char folder[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  // Its own imports are then looked for beside it too, not beside the program.
  return ::LoadLibraryExA((std::string(folder) + "\\" + name).c_str(), nullptr,
                          LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

SystemLibrary::SystemLibrary(const char* name) : module_(LoadFromSystemFolder(name)) {}

SystemLibrary::~SystemLibrary() {
  if (module_) ::FreeLibrary(module_);
}

FARPROC SystemLibrary::Export(const char* exportName) const {
  return module_ ? ::GetProcAddress(module_, exportName) : nullptr;
}

}  // namespace ravlin
