// Files dropped on the real window. A drop is a block of memory of the process
// that sends it, so the test makes the block the shell would and sends it to a
// window of its own.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/WinPlatform.h"
#include "platform/win32/WinToolkit.h"
#include "window/frmRavlin.h"

namespace ravlin {
namespace {

std::wstring Wide(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                                      &wide[0], static_cast<int>(wide.size()))));
  return wide;
}

// DROPFILES, then each name in UTF-16 with its terminator, then an empty name.
HDROP MakeDrop(const std::vector<std::wstring>& paths) {
  size_t units = 1;
  for (const std::wstring& path : paths) units += path.size() + 1;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + units * sizeof(wchar_t));
  if (!block) return nullptr;
  auto* header = static_cast<DROPFILES*>(GlobalLock(block));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  auto* names = reinterpret_cast<wchar_t*>(header + 1);
  for (const std::wstring& path : paths) names += path.copy(names, path.size()) + 1;
  GlobalUnlock(block);
  return static_cast<HDROP>(block);
}

BOOL CALLBACK TakeFormWindow(HWND window, LPARAM found) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof(name));
  if (std::string(name) != kWindowClass) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

HWND WindowOfThisThread() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &TakeFormWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

// The real form in the Windows toolkit, with a start-up and a closing of the
// test's own: the form's start-up box would wait for a press, and its closing
// ends the process.
class DropHost final : public FormHost {
 public:
  DropHost(frmRavlin& form, std::function<void(HWND)> loaded) : form_(form), loaded_(std::move(loaded)) {}
  FormLayout Layout() const override { return form_.Layout(); }
  Control& ControlById(int id) override { return form_.ControlById(id); }
  void Form_Load() override {
    HWND window = WindowOfThisThread();
    if (window) loaded_(window);
    PostMessageA(window, WM_CLOSE, 0, 0);
  }
  void Form_Unload(int16_t&) override {}
  void Form_DropFiles(const std::string& path) override { form_.Form_DropFiles(path); }

 private:
  frmRavlin& form_;
  std::function<void(HWND)> loaded_;
};

TEST(DroppedFiles, TheFirstIsNamedInTheTextBoxUnlessItIsLocked) {
  const std::string folder = "C:\\Controls";  // the form takes the names as they come
  struct Drop {
    std::vector<std::string> files;
    bool locked;
    std::string text;  // text1 afterwards
    std::string info;  // lblFileInfo afterwards
  };
  const std::string one = folder + "\\one file.ocx";
  const std::string first = folder + "\\first.ocx";
  const std::vector<Drop> drops = {
      {{one}, false, one, ""},
      {{first, folder + "\\second.ocx", folder + "\\third.ocx"}, false, first, ""},
      {{folder + "\\confirming.ocx"}, true, first, "shown"},
  };

  WinToolkit toolkit{GetModuleHandleA(nullptr)};
  WinPlatform platform;
  frmRavlin form{toolkit, platform};
  bool accepts = false;
  DropHost host(form, [&](HWND window) {
    accepts = (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
    for (const Drop& drop : drops) {
      form.text1.SetLocked(drop.locked);
      form.lblFileInfo.SetCaption("shown");
      std::vector<std::wstring> files;
      for (const std::string& file : drop.files) files.push_back(Wide(file));
      SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(files)), 0);
      EXPECT_EQ(form.text1.Text(), drop.text);
      EXPECT_EQ(form.lblFileInfo.Caption(), drop.info) << drop.files.front();
    }
    // Tibetan, which no code page but UTF-8 writes: stand-in characters would
    // name another file, so the drop changes nothing. (This test has no UTF-8 manifest.)
    form.text1.SetLocked(false);
    if (GetACP() != CP_UTF8) {
      SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({Wide(folder) + L"\\\x0F40.ocx"})), 0);
      EXPECT_EQ(form.text1.Text(), first) << "after a name the code page cannot write";
    }
  });
  ASSERT_EQ(toolkit.Run(host, SW_SHOWNOACTIVATE), 0);

  EXPECT_TRUE(accepts) << "the window takes dropped files";
}

}  // namespace
}  // namespace ravlin
