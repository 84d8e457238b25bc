#include "platform/win32/NativeFileList.h"

#include <commctrl.h>
#include <windowsx.h>

#include <vector>

#include "platform/Toolkit.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Runtime.h"

namespace ravlin {

namespace {

constexpr UINT_PTR kSubclassId = 1;

int16_t ShiftState(WPARAM keys) {
  int16_t shift = 0;
  if (keys & MK_SHIFT) shift |= 1;
  if (keys & MK_CONTROL) shift |= 2;
  if (GetKeyState(VK_MENU) < 0) shift |= 4;
  return shift;
}

}  // namespace

NativeFileList::NativeFileList(const ControlSpec& spec, const ControlSite& site, FileListBox& list)
    : NativeControl(spec, site), list_(list) {
  Create("LISTBOX", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_SORT | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
         WS_EX_CLIENTEDGE);
  if (Window())
    SetWindowSubclass(Window(), &NativeFileList::ListProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void NativeFileList::ShowDirectory(const std::string& directory, const std::string& pattern) {
  WIN32_FIND_DATAA data;
  UniqueFind find(FindFirstFileA((directory + "\\" + pattern).c_str(), &data));
  std::vector<std::string> names;
  if (find.get() == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES)
      throw ToolkitError(DescribeError(error));
  } else {
    do {
      if (IsOrdinaryFile(data.dwFileAttributes)) names.emplace_back(data.cFileName);
    } while (FindNextFileA(find.get(), &data));
  }
  SendMessageA(Window(), LB_RESETCONTENT, 0, 0);
  for (const std::string& name : names)
    SendMessageA(Window(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

int NativeFileList::SelectedIndex() const {
  const LRESULT index = SendMessageA(Window(), LB_GETCURSEL, 0, 0);
  return index == LB_ERR ? -1 : static_cast<int>(index);
}

std::string NativeFileList::Entry(int index) const {
  const LRESULT length = SendMessageA(Window(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR) throw ToolkitError("Invalid property array index");
  std::string text(static_cast<size_t>(length) + 1, '\0');
  SendMessageA(Window(), LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(static_cast<size_t>(length));
  return text;
}

LRESULT CALLBACK NativeFileList::ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR data) {
  int16_t button = 0;
  switch (message) {
    case WM_LBUTTONDOWN: button = 1; break;
    case WM_RBUTTONDOWN: button = 2; break;
    case WM_MBUTTONDOWN: button = 4; break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(list, &NativeFileList::ListProc, kSubclassId);
      return DefSubclassProc(list, message, wParam, lParam);
    default: return DefSubclassProc(list, message, wParam, lParam);
  }
  // The list selects the entry under the pointer first (primary button only).
  const LRESULT result = DefSubclassProc(list, message, wParam, lParam);
  reinterpret_cast<NativeFileList*>(data)->MouseDown(button, wParam, lParam);
  return result;
}

// The position in twips, as the list's event gives it.
void NativeFileList::MouseDown(int16_t button, WPARAM keys, LPARAM position) {
  const float x = static_cast<float>(GET_X_LPARAM(position)) * kTwipsPerInch / static_cast<float>(Site().dpiX);
  const float y = static_cast<float>(GET_Y_LPARAM(position)) * kTwipsPerInch / static_cast<float>(Site().dpiY);
  const int16_t shift = ShiftState(keys);
  Raise([&] { list_.MouseDown(button, shift, x, y); });
}

}  // namespace ravlin
