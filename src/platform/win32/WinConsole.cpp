#include "platform/win32/WinConsole.h"

#include <cwchar>
#include <string>

#include "platform/win32/Runtime.h"
#include "platform/win32/WideText.h"

namespace ravlin {
namespace {

// The program's texts are UTF-8 already: its manifest makes that its code page.
// All of it, or false.
bool WriteAll(HANDLE file, const std::string& bytes) {
  for (size_t done = 0; done < bytes.size();) {
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written, nullptr) ||
        written == 0)
      return false;
    done += written;
  }
  return true;
}

// A file, a pipe, or a character device that is no console (NUL): what a
// shell's redirection hands over, from Windows or, through Wine, from Unix.
bool IsRedirected(HANDLE output) {
  if (output == nullptr || output == INVALID_HANDLE_VALUE) return false;
  const DWORD type = GetFileType(output);
  DWORD mode = 0;
  return type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE || (type == FILE_TYPE_CHAR && !GetConsoleMode(output, &mode));
}

bool IsConsole(HANDLE output) {
  DWORD mode = 0;
  return output != nullptr && output != INVALID_HANDLE_VALUE && GetConsoleMode(output, &mode);
}

}  // namespace

std::string WinConsole::Command() { return RuntimeServices::Command(); }

HANDLE WinConsole::ConsoleOutput() {
  if (!attachTried_) {
    attachTried_ = true;
    if (AttachConsole(ATTACH_PARENT_PROCESS))
      console_.reset(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr));
  }
  return console_.get() == INVALID_HANDLE_VALUE ? nullptr : console_.get();
}

// Wine gives a program started from a Unix terminal a console of its own on
// that terminal; Windows gives a program of the window subsystem none.
bool WinConsole::Print(const std::string& text) {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (IsRedirected(output) && WriteAll(output, text)) return true;
  HANDLE console = IsConsole(output) ? output : ConsoleOutput();
  if (!console) return false;
  const WideArg wide(text.c_str());
  const wchar_t* rest = wide.get();
  for (DWORD left = static_cast<DWORD>(std::wcslen(rest)); left > 0;) {
    DWORD written = 0;
    if (!WriteConsoleW(console, rest, left, &written, nullptr) || written == 0) return false;
    rest += written;
    left -= written;
  }
  return true;
}

void WinConsole::ShowMessage(const std::string& text) {
  MessageBoxW(nullptr, WideArg(text.c_str()).get(), WideArg(title_).get(), MB_OK);
}

uint32_t WinConsole::WriteUtf8File(const std::string& path, const std::string& text) {
  UniqueHandle file(CreateFileW(WidePath(path.c_str()).get(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return GetLastError();
  if (WriteAll(file.get(), text)) return 0;
  const DWORD error = GetLastError();
  return error != 0 ? error : ERROR_WRITE_FAULT;
}

}  // namespace ravlin
