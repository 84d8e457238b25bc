#pragma once
// The program's texts are in its code page (UTF-8, by its manifest); the
// Windows functions it calls take UTF-16, which has no 260-character limit.
// These convert at that seam. Wide texts are kept in vectors: the library's
// own wide string would bring some 40 KB into the program.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ravlin {

// UTF-16 text with its terminating NUL; empty only when a conversion or a query failed.
using WideText = std::vector<wchar_t>;

// A text of the program's code page as a wide function takes it; a null text stays null.
class WideArg {
 public:
  explicit WideArg(const char* text);
  const wchar_t* get() const { return null_ ? nullptr : text_.data(); }
  wchar_t* data() { return null_ ? nullptr : text_.data(); }  // for functions that write into it

 private:
  bool null_;
  WideText text_;
};

// A file name as the wide file functions take it: one of 260 characters or
// more gets the "\\?\" prefix, after the full path is formed (the prefix
// turns off that step), so no system setting is needed for it.
class WidePath {
 public:
  explicit WidePath(const char* path);
  const wchar_t* get() const { return path_.data(); }

 private:
  WideText path_;
};

// The program's code page from length wide characters; "" when that fails or
// a character has no place there.
std::string Narrow(const wchar_t* text, size_t length);
inline std::string Narrow(const WideText& text) {
  return text.empty() ? std::string() : Narrow(text.data(), text.size() - 1);
}

// As the 8-bit functions answer: the text and its length when it fits in the
// buffer with its terminator, otherwise the size it needs and the buffer untouched.
uint32_t CopyOut(const std::string& text, char* buffer, uint32_t size);

// A wide text that a function writes into a buffer, answering with its length,
// or when the buffer is too small with the size it needs or the buffer's own
// size; empty when it fails.
template <typename Query>  // DWORD(wchar_t* buffer, DWORD size)
WideText WideQuery(Query query) {
  WideText buffer(MAX_PATH);
  for (int attempt = 0; attempt < 8; ++attempt) {  // 32,767 characters, the longest path, in 8
    const DWORD length = query(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      buffer.resize(length + 1);
      buffer[length] = L'\0';
      return buffer;
    }
    buffer.assign(length + 1 > buffer.size() * 2 ? length + 1 : buffer.size() * 2, L'\0');
  }
  return {};
}

// The file a loaded module came from, whatever its length; "" on failure.
std::string ModuleFileName(HMODULE module);

}  // namespace ravlin
