#pragma once
// What the command line's front end needs from the outside world besides the
// platform: its arguments, and where its report goes. The Windows
// implementation is in win32/.
#include <cstdint>
#include <string>

namespace ravlin {

class Console {
 public:
  virtual ~Console() = default;

  // The command-line arguments as one text, without the program's own path.
  virtual std::string Command() = 0;
  // The text (in the program's code page) to the standard output when that
  // is a file or a pipe, in UTF-8; else to the console of the process that
  // started this one; nowhere when there is neither. Whether it went anywhere.
  virtual bool Print(const std::string& text) = 0;
  // A message box, OK only, no icon, the application's title as its caption.
  virtual void ShowMessage(const std::string& text) = 0;
  // Replaces the file's contents with the text in UTF-8: 0, or the system's error code.
  virtual uint32_t WriteUtf8File(const std::string& path, const std::string& text) = 0;
};

}  // namespace ravlin
