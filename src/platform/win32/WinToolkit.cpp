#include "platform/win32/WinToolkit.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "window/frmRavlin.h"

namespace ravlin {

namespace {

constexpr UINT_PTR kListSubclassId = 1;

bool IsOrdinaryFile(DWORD attributes) {
  return (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY |
                        FILE_ATTRIBUTE_DEVICE)) == 0;
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(window, &text[0], length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

struct NativeClass {
  const char* name;
  DWORD style;
  DWORD exStyle;
};

NativeClass ClassFor(ControlKind kind) {
  constexpr DWORD kCommon = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  switch (kind) {
    case ControlKind::Button:
      return {"BUTTON", kCommon | WS_TABSTOP | BS_PUSHBUTTON, 0};
    case ControlKind::ColouredButton:
      return {"BUTTON", kCommon | WS_TABSTOP | BS_OWNERDRAW, 0};
    case ControlKind::Label:
      return {"STATIC", kCommon | SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::TextBox:
      return {"EDIT", kCommon | WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE};
    case ControlKind::FileList:
      return {"LISTBOX",
              kCommon | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_SORT | LBS_HASSTRINGS |
                  LBS_NOINTEGRALHEIGHT,
              WS_EX_CLIENTEDGE};
  }
  return {"STATIC", kCommon, 0};
}

int16_t ShiftState(WPARAM keys) {
  int16_t shift = 0;
  if (keys & MK_SHIFT) shift |= 1;
  if (keys & MK_CONTROL) shift |= 2;
  if (GetKeyState(VK_MENU) < 0) shift |= 4;
  return shift;
}

void DrawColouredButton(const DRAWITEMSTRUCT& item) {
  RECT face = item.rcItem;
  const bool pushed = (item.itemState & ODS_SELECTED) != 0;
  FillRect(item.hDC, &face, GetSysColorBrush(COLOR_INFOBK));
  DrawEdge(item.hDC, &face, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  std::string caption = WindowText(item.hwndItem);
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
}

}  // namespace

// The native control behind one control object.
class NativeView : public ControlView {
 public:
  NativeView(HWND window, const ControlSpec& spec, Control& control)
      : window_(window), spec_(spec), control_(control) {}

  void ShowText(const std::string& text) override {
    caption_ = text;
    settingText_ = true;
    SetWindowTextA(window_, text.c_str());
    settingText_ = false;
    UpdateShown();
  }
  void ShowVisible(bool visible) override {
    visible_ = visible;
    UpdateShown();
  }
  void ShowLocked(bool locked) override {
    SendMessageA(window_, EM_SETREADONLY, locked ? TRUE : FALSE, 0);
  }
  void ShowForeColor(Color color) override {
    foreColor_ = RGB(color.red, color.green, color.blue);
    hasForeColor_ = true;
    InvalidateRect(window_, nullptr, TRUE);
  }
  void ShowDirectory(const std::string& directory, const std::string& pattern) override {
    WIN32_FIND_DATAA data;
    UniqueFind find(FindFirstFileA((directory + "\\" + pattern).c_str(), &data));
    std::vector<std::string> names;
    if (find.get() == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES)
        throw ToolkitError(WinToolkit::Describe(error));
    } else {
      do {
        if (IsOrdinaryFile(data.dwFileAttributes)) names.emplace_back(data.cFileName);
      } while (FindNextFileA(find.get(), &data));
    }
    SendMessageA(window_, LB_RESETCONTENT, 0, 0);
    for (const std::string& name : names)
      SendMessageA(window_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  int SelectedIndex() const override {
    const LRESULT index = SendMessageA(window_, LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
  }
  std::string Entry(int index) const override {
    const LRESULT length = SendMessageA(window_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) throw ToolkitError("Invalid property array index");
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(window_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
  }

  HWND Window() const { return window_; }
  const ControlSpec& Spec() const { return spec_; }
  Control& Target() const { return control_; }
  bool SettingText() const { return settingText_; }
  bool HasForeColor() const { return hasForeColor_; }
  COLORREF ForeColor() const { return foreColor_; }

 private:
  // A raised label covers what lies under it only while it has a text to show.
  void UpdateShown() {
    const bool shown = visible_ && !(spec_.raised && caption_.empty());
    ShowWindow(window_, shown ? SW_SHOWNA : SW_HIDE);
  }

  HWND window_;
  const ControlSpec& spec_;
  Control& control_;
  std::string caption_ = spec_.caption;
  bool visible_ = true;
  bool settingText_ = false;
  bool hasForeColor_ = false;
  COLORREF foreColor_ = 0;
};

WinToolkit::WinToolkit(HINSTANCE instance) : instance_(instance) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  HDC screen = GetDC(nullptr);
  dpiX_ = GetDeviceCaps(screen, LOGPIXELSX);
  dpiY_ = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
}

WinToolkit::~WinToolkit() {
  if (window_) DestroyWindow(window_);
}

std::string WinToolkit::Describe(DWORD error) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
  std::string description = length ? std::string(text, length) : std::string();
  LocalFree(text);
  while (!description.empty() && (description.back() == '\r' || description.back() == '\n' ||
                                  description.back() == ' '))
    description.pop_back();
  if (description.empty()) description = "Error " + std::to_string(error);
  return description;
}

template <typename Handler>
void WinToolkit::Dispatch(Handler&& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    // No handler traps it: report it and end, as the runtime would.
    MessageBoxA(window_, error.what(), kTitle, MB_OK);
    End();
  }
}

int WinToolkit::Run(frmRavlin& form, int showCommand) {
  form_ = &form;
  if (!CreateMainWindow()) {
    MessageBoxA(nullptr, Describe(GetLastError()).c_str(), kTitle, MB_OK);
    return 1;
  }
  CreateControls();
  Dispatch([&] { form.Form_Load(); });
  ShowWindow(window_, showCommand);
  UpdateWindow(window_);
  FocusFirstTabStop();

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (PreTranslate(message)) continue;
    if (window_ && IsDialogMessageA(window_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}

bool WinToolkit::CreateMainWindow() {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &WinToolkit::WindowProc;
  windowClass.hInstance = instance_;
  windowClass.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(1));
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassExA(&windowClass)) return false;

  constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  RECT frame{0, 0, TwipsToPixels(kClientWidthTwips, dpiX_), TwipsToPixels(kClientHeightTwips, dpiY_)};
  AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
  window_ = CreateWindowExA(0, kWindowClass, kTitle, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                            instance_, this);
  return window_ != nullptr;
}

void WinToolkit::CreateControls() {
  auto fontFor = [this](const FontSpec* spec) {
    static const FontSpec kDialogFont{"MS Sans Serif", 8.0, FW_NORMAL};
    const FontSpec* key = spec ? spec : &kDialogFont;
    auto& font = fonts_[key];
    if (!font) {
      const int height = -static_cast<int>(std::lround(key->points * dpiY_ / 72.0));
      font.reset(CreateFontA(height, 0, 0, 0, key->weight, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, key->face));
    }
    return font.get();
  };

  // Windows moves the focus along the z-order, so the controls are stacked in tab order.
  std::vector<const ControlSpec*> order;
  for (const ControlSpec& spec : kLayout) order.push_back(&spec);
  std::stable_sort(order.begin(), order.end(), [](const ControlSpec* a, const ControlSpec* b) {
    return a->tabIndex < b->tabIndex;
  });
  for (const ControlSpec* spec : order) {
    const NativeClass native = ClassFor(spec->kind);
    HWND control = CreateWindowExA(
        native.exStyle, native.name, spec->caption, native.style, TwipsToPixels(spec->left, dpiX_),
        TwipsToPixels(spec->top, dpiY_), TwipsToPixels(spec->width, dpiX_),
        TwipsToPixels(spec->height, dpiY_), window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec->id)), instance_, nullptr);
    if (!control) continue;
    SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(spec->font)), FALSE);
    if (spec->kind == ControlKind::TextBox) SendMessageA(control, EM_SETLIMITTEXT, 0, 0);
    Control& target = form_->ControlById(spec->id);
    views_.push_back(std::make_unique<NativeView>(control, *spec, target));
    target.Attach(views_.back().get());
    if (spec->kind == ControlKind::FileList)
      SetWindowSubclass(control, &WinToolkit::ListProc, kListSubclassId,
                        reinterpret_cast<DWORD_PTR>(this));
  }
  for (const auto& view : views_) {
    if (!view->Spec().raised) continue;
    SetWindowPos(view->Window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    view->ShowText(view->Spec().caption);
  }
}

void WinToolkit::FocusFirstTabStop() {
  HWND first = GetNextDlgTabItem(window_, nullptr, FALSE);
  if (first) SetFocus(first);
}

bool WinToolkit::PreTranslate(MSG& message) {
  // No default or cancel button: Enter and Escape click nothing.
  if (message.message == WM_KEYDOWN && (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE) &&
      window_ && (message.hwnd == window_ || IsChild(window_, message.hwnd)))
    return true;
  return false;
}

NativeView* WinToolkit::ViewOf(HWND control) const {
  for (const auto& view : views_)
    if (view->Window() == control) return view.get();
  return nullptr;
}

LRESULT CALLBACK WinToolkit::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    static_cast<WinToolkit*>(create->lpCreateParams)->window_ = window;
  }
  auto* self = reinterpret_cast<WinToolkit*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT CALLBACK WinToolkit::ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR data) {
  int16_t button = 0;
  switch (message) {
    case WM_LBUTTONDOWN: button = 1; break;
    case WM_RBUTTONDOWN: button = 2; break;
    case WM_MBUTTONDOWN: button = 4; break;
    default: return DefSubclassProc(list, message, wParam, lParam);
  }
  // The list selects the entry under the pointer first (primary button only).
  const LRESULT result = DefSubclassProc(list, message, wParam, lParam);
  auto* self = reinterpret_cast<WinToolkit*>(data);
  const NativeView* view = self->ViewOf(list);
  if (!view) return result;
  const float x = static_cast<float>(GET_X_LPARAM(lParam)) * kTwipsPerInch / static_cast<float>(self->dpiX_);
  const float y = static_cast<float>(GET_Y_LPARAM(lParam)) * kTwipsPerInch / static_cast<float>(self->dpiY_);
  auto& fileList = static_cast<FileListBox&>(view->Target());
  const int16_t shift = ShiftState(wParam);
  self->Dispatch([&] { fileList.MouseDown(button, shift, x, y); });
  return result;
}

LRESULT WinToolkit::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      return 0;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlType != ODT_BUTTON) break;
      DrawColouredButton(*item);
      return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      const NativeView* view = ViewOf(reinterpret_cast<HWND>(lParam));
      // A locked text box still looks like one.
      const int background = view && view->Spec().kind == ControlKind::TextBox ? COLOR_WINDOW : COLOR_BTNFACE;
      SetTextColor(dc, view && view->HasForeColor() ? view->ForeColor() : GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(dc, GetSysColor(background));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(background));
    }
    case WM_SETCURSOR:
      if (pointer_ == MousePointer::Hourglass) {
        SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      // Give the focus back to the control that had it.
      if (LOWORD(wParam) == WA_INACTIVE) {
        savedFocus_ = GetFocus();
      } else if (savedFocus_ && IsWindow(savedFocus_)) {
        SetFocus(savedFocus_);
        return 0;
      }
      break;
    case WM_CLOSE:
      Dispatch([&] { Unload(); });
      return 0;
    case WM_DESTROY:
      window_ = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

void WinToolkit::OnCommand(WPARAM wParam, LPARAM lParam) {
  NativeView* view = ViewOf(reinterpret_cast<HWND>(lParam));
  if (!view) return;
  const UINT code = HIWORD(wParam);
  switch (view->Spec().kind) {
    case ControlKind::Button:
    case ControlKind::ColouredButton:
      if (code == BN_CLICKED) {
        auto& button = static_cast<CommandButton&>(view->Target());
        Dispatch([&] { button.Click(); });
      }
      break;
    case ControlKind::TextBox:
      if (code == EN_CHANGE && !view->SettingText()) {
        auto& box = static_cast<TextBox&>(view->Target());
        const std::string typed = WindowText(view->Window());
        Dispatch([&] { box.TypedText(typed); });
      }
      break;
    default:
      break;
  }
}

void WinToolkit::MsgBox(const std::string& prompt) {
  MessageBoxA(window_, prompt.c_str(), kTitle, MB_OK);
}

void WinToolkit::DoEvents() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (PreTranslate(message)) continue;
    if (window_ && IsDialogMessageA(window_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

std::string WinToolkit::AppPath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0) throw ToolkitError(Describe(GetLastError()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const size_t slash = path.find_last_of('\\');
  if (slash == std::string::npos) return path;
  // A drive's root keeps its separator, as "C:\".
  return slash == 2 && path[1] == ':' ? path.substr(0, 3) : path.substr(0, slash);
}

std::string WinToolkit::Command() {
  const char* line = GetCommandLineA();
  // Skip the program's own path, quoted or not.
  if (*line == '"') {
    ++line;
    while (*line && *line != '"') ++line;
    if (*line == '"') ++line;
  } else {
    while (*line && *line != ' ' && *line != '\t') ++line;
  }
  while (*line == ' ' || *line == '\t') ++line;
  return line;
}

std::string WinToolkit::Dir(const std::string& pathName) {
  WIN32_FIND_DATAA data;
  UniqueFind find(FindFirstFileA(pathName.c_str(), &data));
  if (find.get() == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_NO_MORE_FILES)
      return {};
    throw ToolkitError(Describe(error));
  }
  do {
    if (IsOrdinaryFile(data.dwFileAttributes)) return data.cFileName;
  } while (FindNextFileA(find.get(), &data));
  return {};
}

int WinToolkit::FreeFile() {
  constexpr int kLastFileNumber = 255;
  for (int number = 1; number <= kLastFileNumber; ++number)
    if (!files_.count(number)) return number;
  throw ToolkitError("Too many files");
}

void WinToolkit::Open(int fileNumber, const std::string& path, DWORD access, DWORD share,
                      DWORD creation) {
  if (files_.count(fileNumber)) throw ToolkitError("File already open");
  HANDLE file = CreateFileA(path.c_str(), access, share, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw ToolkitError(Describe(GetLastError()));
  files_[fileNumber].reset(file);
}

void WinToolkit::OpenForInput(int fileNumber, const std::string& path) {
  Open(fileNumber, path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
}

void WinToolkit::OpenForOutput(int fileNumber, const std::string& path) {
  Open(fileNumber, path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
}

void WinToolkit::Print(int fileNumber, const std::string& text) {
  auto it = files_.find(fileNumber);
  if (it == files_.end()) throw ToolkitError("Bad file name or number");
  const std::string line = text + "\r\n";
  DWORD written = 0;
  if (!WriteFile(it->second.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr))
    throw ToolkitError(Describe(GetLastError()));
  if (written != line.size()) throw ToolkitError(Describe(ERROR_DISK_FULL));
}

void WinToolkit::Close(int fileNumber) { files_.erase(fileNumber); }

void WinToolkit::SetMousePointer(MousePointer pointer) {
  pointer_ = pointer;
  SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(
                                     pointer == MousePointer::Hourglass ? IDC_WAIT : IDC_ARROW)));
}

void WinToolkit::Unload() {
  if (!window_) return;
  int16_t cancel = 0;
  form_->Form_Unload(cancel);
  if (cancel == 0 && window_) DestroyWindow(window_);
}

void WinToolkit::End() {
  // At once: a worker still running in a control must not keep the program alive.
  ExitProcess(0);
}

}  // namespace ravlin
