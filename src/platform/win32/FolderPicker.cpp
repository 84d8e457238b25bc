#include "platform/win32/FolderPicker.h"

#include <shlobj.h>

#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WideText.h"

namespace ravlin {
namespace {

// Selects the start folder once the picker is up, by its item list (Wine's
// picker takes no path there, and at times still stops short of the folder).
int CALLBACK OnPickerEvent(HWND picker, UINT message, LPARAM, LPARAM start) {
  if (message == BFFM_INITIALIZED && start) SendMessageW(picker, BFFM_SETSELECTIONW, FALSE, start);
  return 0;
}

using Initialize = decltype(&::CoInitializeEx);
using Uninitialize = decltype(&::CoUninitialize);
using Free = decltype(&::CoTaskMemFree);
using ItemsOf = decltype(&::ILCreateFromPathW);
using Browse = decltype(&::SHBrowseForFolderW);
using PathOf = decltype(&::SHGetPathFromIDListW);

// The shell's and COM's functions the picker needs, from their libraries.
struct PickerFunctions {
  Initialize initialize = ComLibrary().Find<Initialize>("CoInitializeEx");
  Uninitialize uninitialize = ComLibrary().Find<Uninitialize>("CoUninitialize");
  Free free = ComLibrary().Find<Free>("CoTaskMemFree");
  ItemsOf itemsOf = ShellLibrary().Find<ItemsOf>("ILCreateFromPathW");
  Browse browse = ShellLibrary().Find<Browse>("SHBrowseForFolderW");
  PathOf pathOf = ShellLibrary().Find<PathOf>("SHGetPathFromIDListW");

  bool Complete() const { return initialize && uninitialize && free && itemsOf && browse && pathOf; }
};

struct ItemList {
  const PickerFunctions& functions;
  PIDLIST_ABSOLUTE items;
  ~ItemList() { functions.free(items); }
};

// The picker's own shell objects need COM on this thread; the program's
// user-interface thread has none of its own otherwise.
struct ComOnThisThread {
  const PickerFunctions& functions;
  const HRESULT result = functions.initialize(nullptr, COINIT_APARTMENTTHREADED);
  ~ComOnThisThread() {
    if (SUCCEEDED(result)) functions.uninitialize();
  }
};

}  // namespace

std::string PickFolder(HWND owner, const std::string& prompt, const std::string& startFolder) {
  const PickerFunctions functions;
  if (!functions.Complete()) return {};  // no picker: as if none was chosen
  const ComOnThisThread com{functions};
  const WideArg title(prompt.c_str());
  const ItemList start{functions, functions.itemsOf(WideArg(startFolder.c_str()).get())};
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.lpszTitle = title.get();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = &OnPickerEvent;
  info.lParam = reinterpret_cast<LPARAM>(start.items);
  const ItemList chosen{functions, functions.browse(&info)};
  if (!chosen.items) return {};
  const WideText path = WideQuery([&](wchar_t* buffer, DWORD size) -> DWORD {
    // No length is given back: a longer path simply fails.
    if (size < MAX_PATH || !functions.pathOf(chosen.items, buffer)) return 0;
    return static_cast<DWORD>(wcslen(buffer));
  });
  return Narrow(path);
}

}  // namespace ravlin
