#pragma once
// Owners for the Windows handles the toolkit holds.
#include <windows.h>

#include <memory>
#include <type_traits>

namespace ravlin {

struct HandleCloser {
  void operator()(HANDLE handle) const {
    if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
  }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct FindCloser {
  void operator()(HANDLE find) const {
    if (find != INVALID_HANDLE_VALUE) ::FindClose(find);
  }
};
using UniqueFind = std::unique_ptr<void, FindCloser>;

struct GdiDeleter {
  void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiDeleter>;

}  // namespace ravlin
