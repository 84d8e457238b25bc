#pragma once
// The command line's output on Windows. A program of the window subsystem gets
// no console of its own: it writes to the handle it was given when its output
// is redirected, and otherwise to the console of the process that started it.
#include "platform/Console.h"
#include "platform/win32/Handles.h"

namespace ravlin {

class WinConsole final : public Console {
 public:
  explicit WinConsole(const char* title) : title_(title) {}
  std::string Command() override;
  bool Print(const std::string& text) override;
  void ShowMessage(const std::string& text) override;
  uint32_t WriteUtf8File(const std::string& path, const std::string& text) override;

 private:
  // The attached console's output, once asked for; null when there is none.
  HANDLE ConsoleOutput();

  const char* title_;
  bool attachTried_ = false;
  UniqueHandle console_{INVALID_HANDLE_VALUE};
};

}  // namespace ravlin
