#include "platform/win32/MainWindow.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cmath>

#include "platform/win32/Runtime.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WideText.h"

namespace ravlin {
namespace {

// Without the shell's library a drop can be neither read nor finished; it is left.
struct DropFinisher {
  void operator()(HDROP drop) const {
    if (const auto finish = ShellLibrary().Find<decltype(&::DragFinish)>("DragFinish")) finish(drop);
  }
};
using UniqueDrop = std::unique_ptr<std::remove_pointer_t<HDROP>, DropFinisher>;

// The shell names dropped files by full path. The first one, in the program's
// code page; "" when it cannot be written there. The drop is finished when
// this returns.
std::string FirstDroppedFile(UniqueDrop drop) {
  const auto query = ShellLibrary().Find<decltype(&::DragQueryFileW)>("DragQueryFileW");
  if (!query || query(drop.get(), 0xFFFFFFFF, nullptr, 0) == 0) return {};
  const UINT size = query(drop.get(), 0, nullptr, 0) + 1;
  const auto path = std::make_unique<wchar_t[]>(size);
  const UINT length = query(drop.get(), 0, path.get(), size);
  if (length == 0 || length >= size) return {};
  return Narrow(path.get(), length);
}

constexpr UINT_PTR kTimerId = 1;

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  HDC screen = GetDC(nullptr);
  dpiX_ = GetDeviceCaps(screen, LOGPIXELSX);
  dpiY_ = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
}

MainWindow::~MainWindow() {
  if (window_) DestroyWindow(window_);
}

void MainWindow::Raise(const std::function<void()>& handler) {
  ++handlerDepth_;
  struct Leave {
    int& depth;
    ~Leave() { --depth; }
  } leave{handlerDepth_};
  try {
    handler();
  } catch (const std::exception& error) {
    // No handler traps it: report it and end, as the runtime would.
    MessageBoxA(window_, error.what(), layout_.title, MB_OK);
    End();
  }
}

int MainWindow::Run(FormHost& form, int showCommand) {
  form_ = &form;
  layout_ = form.Layout();
  if (!CreateMainWindow()) {
    MessageBoxA(nullptr, DescribeError(GetLastError()).c_str(), layout_.title, MB_OK);
    return 1;
  }
  CreateControls();
  Raise([&] { form.Form_Load(); });
  if (onTimer_) ::SetTimer(window_, kTimerId, timerInterval_, nullptr);
  ShowWindow(window_, showCommand);
  UpdateWindow(window_);
  FocusFirstTabStop();
  Pump(true);
  return 0;
}

void MainWindow::DoEvents() { Pump(false); }

void MainWindow::SetTimer(UINT intervalMs, std::function<void()> onTimer) {
  timerInterval_ = intervalMs;
  onTimer_ = std::move(onTimer);
  if (window_) ::SetTimer(window_, kTimerId, timerInterval_, nullptr);
}

// The one message pump. The loop waits for each message until the quit
// message; DoEvents runs what is queued and leaves a quit for the loop.
void MainWindow::Pump(bool waitForQuit) {
  MSG message;
  for (;;) {
    if (waitForQuit) {
      if (GetMessageA(&message, nullptr, 0, 0) <= 0) return;
    } else {
      if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return;
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return;
      }
    }
    if (PreTranslate(message)) continue;
    if (window_ && IsDialogMessageA(window_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// No default or cancel button: Enter and Escape click nothing.
bool MainWindow::PreTranslate(const MSG& message) const {
  return message.message == WM_KEYDOWN &&
         (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE) && window_ &&
         (message.hwnd == window_ || IsChild(window_, message.hwnd));
}

bool MainWindow::CreateMainWindow() {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &MainWindow::WindowProc;
  windowClass.hInstance = instance_;
  windowClass.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(1));
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = layout_.windowClass;
  if (!RegisterClassExA(&windowClass)) return false;

  constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  // The style is what DragAcceptFiles sets; the shell's library is loaded for a drop only.
  constexpr DWORD kExStyle = WS_EX_ACCEPTFILES;
  RECT frame{0, 0, TwipsToPixels(layout_.width, dpiX_), TwipsToPixels(layout_.height, dpiY_)};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  window_ = CreateWindowExA(kExStyle, layout_.windowClass, layout_.title, kStyle, CW_USEDEFAULT,
                            CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                            nullptr, nullptr, instance_, this);
  return window_ != nullptr;
}

HFONT MainWindow::FontFor(const FontSpec* spec) {
  static const FontSpec kDialogFont{"MS Sans Serif", 8.0, FW_NORMAL};
  const FontSpec* key = spec ? spec : &kDialogFont;
  auto known = std::find_if(fonts_.begin(), fonts_.end(), [key](const auto& f) { return f.first == key; });
  if (known == fonts_.end()) known = fonts_.emplace(fonts_.end(), key, nullptr);
  UniqueFont& font = known->second;
  if (!font) {
    const int height = -static_cast<int>(std::lround(key->points * dpiY_ / 72.0));
    font.reset(CreateFontA(height, 0, 0, 0, key->weight, FALSE, FALSE, FALSE, ANSI_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, key->face));
  }
  return font.get();
}

void MainWindow::CreateControls() {
  // Windows moves the focus along the z-order, so the controls are stacked in
  // tab order. Each is inserted after those whose tab index is not greater: a
  // stable sort of a handful, without the library's merge sort and its buffer.
  std::vector<const ControlSpec*> order;
  for (const ControlSpec& spec : layout_) {
    auto at = order.end();
    while (at != order.begin() && (*(at - 1))->tabIndex > spec.tabIndex) --at;
    order.insert(at, &spec);
  }
  for (const ControlSpec* spec : order) {
    Control& target = form_->ControlById(spec->id);
    const ControlSite site{instance_, window_, dpiX_, dpiY_, FontFor(spec->font), *this};
    std::unique_ptr<NativeControl> control = CreateNativeControl(*spec, target, site);
    if (!control || !control->Window()) continue;
    SetWindowPos(control->Window(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    target.Attach(control.get());
    controls_.push_back(std::move(control));
  }
  for (const auto& control : controls_) {
    if (!control->Spec().raised) continue;
    SetWindowPos(control->Window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    control->ShowText(control->Spec().caption);
  }
}

void MainWindow::FocusFirstTabStop() {
  HWND first = GetNextDlgTabItem(window_, nullptr, FALSE);
  if (first) SetFocus(first);
}

// Only a direct child of this window carries a control object.
NativeControl* MainWindow::ControlOf(HWND child) const {
  if (!child || !window_ || GetParent(child) != window_) return nullptr;
  return NativeControl::FromWindow(child);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    static_cast<MainWindow*>(create->lpCreateParams)->window_ = window;
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DROPFILES: {
      const std::string path = FirstDroppedFile(UniqueDrop(reinterpret_cast<HDROP>(wParam)));
      if (!path.empty()) Raise([&] { form_->Form_DropFiles(path); });
      return 0;
    }
    case WM_COMMAND:
      if (NativeControl* control = ControlOf(reinterpret_cast<HWND>(lParam)))
        control->OnCommand(HIWORD(wParam));
      return 0;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      NativeControl* control = ControlOf(item->hwndItem);
      if (control && control->OnDrawItem(*item)) return TRUE;
      break;
    }
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC: {
      NativeControl* control = ControlOf(reinterpret_cast<HWND>(lParam));
      if (HBRUSH brush = control ? control->OnCtlColor(message, reinterpret_cast<HDC>(wParam)) : nullptr)
        return reinterpret_cast<LRESULT>(brush);
      break;
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
      Raise([&] { Unload(); });
      return 0;
    case WM_TIMER:
      if (wParam == kTimerId && handlerDepth_ == 0 && onTimer_) Raise(onTimer_);
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

void MainWindow::MsgBox(const std::string& prompt) {
  MessageBoxA(window_, prompt.c_str(), layout_.title, MB_OK);
}

void MainWindow::SetMousePointer(MousePointer pointer) {
  pointer_ = pointer;
  SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(
                                     pointer == MousePointer::Hourglass ? IDC_WAIT : IDC_ARROW)));
}

void MainWindow::Unload() {
  if (!window_) return;
  int16_t cancel = 0;
  form_->Form_Unload(cancel);
  if (cancel == 0 && window_) DestroyWindow(window_);
}

void MainWindow::End() {
  // At once: a worker still running in a control must not keep the program alive.
  ExitProcess(0);
}

}  // namespace ravlin
