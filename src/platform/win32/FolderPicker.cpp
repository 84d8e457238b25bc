#include "platform/win32/FolderPicker.h"

#include <shlobj.h>

#include "platform/win32/WideText.h"

namespace ravlin {
namespace {

// Selects the start folder once the picker is up, by its item list (Wine's
// picker takes no path there, and at times still stops short of the folder).
int CALLBACK OnPickerEvent(HWND picker, UINT message, LPARAM, LPARAM start) {
  if (message == BFFM_INITIALIZED && start) SendMessageW(picker, BFFM_SETSELECTIONW, FALSE, start);
  return 0;
}

struct ItemList {
  PIDLIST_ABSOLUTE items;
  ~ItemList() { CoTaskMemFree(items); }
};

// The picker's own shell objects need COM on this thread; the program's
// user-interface thread has none of its own otherwise.
struct ComOnThisThread {
  const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ~ComOnThisThread() {
    if (SUCCEEDED(result)) CoUninitialize();
  }
};

}  // namespace

std::string PickFolder(HWND owner, const std::string& prompt, const std::string& startFolder) {
  const ComOnThisThread com;
  const WideArg title(prompt.c_str());
  const ItemList start{ILCreateFromPathW(WideArg(startFolder.c_str()).get())};
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.lpszTitle = title.get();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = &OnPickerEvent;
  info.lParam = reinterpret_cast<LPARAM>(start.items);
  const ItemList chosen{SHBrowseForFolderW(&info)};
  if (!chosen.items) return {};
  const WideText path = WideQuery([&](wchar_t* buffer, DWORD size) -> DWORD {
    // No length is given back: a longer path simply fails.
    if (size < MAX_PATH || !SHGetPathFromIDListW(chosen.items, buffer)) return 0;
    return static_cast<DWORD>(wcslen(buffer));
  });
  return Narrow(path);
}

}  // namespace ravlin
