#include "platform/win32/WideText.h"

#include <cstring>
#include <cwchar>

namespace ravlin {
namespace {

// Without MB_ERR_INVALID_CHARS, as the 8-bit functions convert: a byte that is
// no character of the code page becomes U+FFFD and names no file.
WideText Widen(const char* text) {
  const int length = static_cast<int>(std::strlen(text));
  if (length == 0) return WideText(1, L'\0');
  const int wideLength = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
  if (wideLength <= 0) return {};
  WideText wide(static_cast<size_t>(wideLength) + 1, L'\0');
  if (MultiByteToWideChar(CP_ACP, 0, text, length, wide.data(), wideLength) != wideLength) return {};
  return wide;
}

bool StartsWith(const WideText& text, const wchar_t* prefix) {
  const size_t length = std::wcslen(prefix);
  return text.size() > length && std::wmemcmp(text.data(), prefix, length) == 0;
}

WideText Joined(const wchar_t* prefix, const WideText& text, size_t from) {
  WideText joined(prefix, prefix + std::wcslen(prefix));
  joined.insert(joined.end(), text.begin() + static_cast<std::ptrdiff_t>(from), text.end());
  return joined;
}

}  // namespace

WideArg::WideArg(const char* text) : null_(text == nullptr), text_(text ? Widen(text) : WideText()) {
  // A failed conversion names nothing rather than some other file.
  if (!null_ && text_.empty()) text_.assign(1, L'\0');
}

WidePath::WidePath(const char* path) : path_(path ? Widen(path) : WideText()) {
  if (path_.empty()) path_.assign(1, L'\0');
  if (path_.size() - 1 < MAX_PATH || StartsWith(path_, L"\\\\?\\")) return;
  const WideText full = WideQuery([&](wchar_t* buffer, DWORD size) {
    return GetFullPathNameW(path_.data(), size, buffer, nullptr);
  });
  if (StartsWith(full, L"\\\\.\\")) path_ = full;  // a device: left as it is
  else if (StartsWith(full, L"\\\\")) path_ = Joined(L"\\\\?\\UNC\\", full, 2);
  else if (full.size() > 3 && full[1] == L':') path_ = Joined(L"\\\\?\\", full, 0);
  // Otherwise the name is passed on as given, and the function says what is wrong with it.
}

// A name a character has no place for in the code page (one other than UTF-8,
// before Windows 10 1903) comes back "": a stand-in character or a best fit
// would name another file. UTF-8 has a place for every character.
std::string Narrow(const wchar_t* text, size_t length) {
  if (length == 0) return {};
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL lossy = FALSE;
  BOOL* const lossyOut = utf8 ? nullptr : &lossy;  // UTF-8 takes no such question
  const int wideLength = static_cast<int>(length);
  const int narrowLength = WideCharToMultiByte(CP_ACP, flags, text, wideLength, nullptr, 0, nullptr, lossyOut);
  if (narrowLength <= 0 || lossy) return {};
  std::string narrow(static_cast<size_t>(narrowLength), '\0');
  if (WideCharToMultiByte(CP_ACP, flags, text, wideLength, &narrow[0], narrowLength, nullptr, lossyOut) !=
      narrowLength)
    return {};
  return narrow;
}

uint32_t CopyOut(const std::string& text, char* buffer, uint32_t size) {
  const uint32_t length = static_cast<uint32_t>(text.size());
  if (!buffer || length >= size) return length + 1;
  std::memcpy(buffer, text.c_str(), length + 1);
  return length;
}

std::string ModuleFileName(HMODULE module) {
  return Narrow(WideQuery([&](wchar_t* buffer, DWORD size) {
    return GetModuleFileNameW(module, buffer, size);
  }));
}

}  // namespace ravlin
