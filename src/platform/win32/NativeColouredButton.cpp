#include "platform/win32/NativeColouredButton.h"

namespace ravlin {

NativeColouredButton::NativeColouredButton(const ControlSpec& spec, const ControlSite& site,
                                           CommandButton& button)
    : NativeButton(spec, site, button, BS_OWNERDRAW) {}

bool NativeColouredButton::OnDrawItem(const DRAWITEMSTRUCT& item) {
  RECT face = item.rcItem;
  const bool pushed = (item.itemState & ODS_SELECTED) != 0;
  FillRect(item.hDC, &face, GetSysColorBrush(COLOR_INFOBK));
  DrawEdge(item.hDC, &face, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  const std::string caption = WindowText(item.hwndItem);
  const auto font = reinterpret_cast<HFONT>(SendMessageA(item.hwndItem, WM_GETFONT, 0, 0));
  const HGDIOBJ previous = SelectObject(item.hDC, font);
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
  RECT text = face;
  if (pushed) OffsetRect(&text, 1, 1);
  DrawTextA(item.hDC, caption.c_str(), static_cast<int>(caption.size()), &text,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(item.hDC, previous);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = face;
    InflateRect(&focus, -4, -4);
    DrawFocusRect(item.hDC, &focus);
  }
  return true;
}

}  // namespace ravlin
