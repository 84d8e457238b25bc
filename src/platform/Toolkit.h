#pragma once
// The window toolkit and runtime services the form leans on. The Windows
// implementation is in win32/; the unit tests use a scripted fake.
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace ravlin {

// A failed toolkit or file service; what() is the standard description.
class ToolkitError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class MousePointer { Default, Hourglass };

struct Color {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  friend bool operator==(Color a, Color b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
  }
  friend bool operator!=(Color a, Color b) { return !(a == b); }
};

// The classic 16-colour palette (0 black ... 15 bright white).
Color QBColor(int index);

class Toolkit {
 public:
  virtual ~Toolkit() = default;

  // Modal, OK only, no icon, the application's title as caption.
  virtual void MsgBox(const std::string& prompt) = 0;
  // The system's folder picker, modal, opened at startFolder; the folder
  // chosen, or "" when none was.
  virtual std::string BrowseForFolder(const std::string& prompt, const std::string& startFolder) = 0;
  // Runs the user-interface events already queued, then returns.
  virtual void DoEvents() = 0;
  // Folder of the executable, without a trailing separator.
  virtual std::string AppPath() = 0;
  // The command-line arguments as one text, without the program's own path.
  virtual std::string Command() = 0;
  // Name of the ordinary file matching pathName, or "" (hidden, system and
  // directory entries never match). Throws ToolkitError on a bad path.
  virtual std::string Dir(const std::string& pathName) = 0;

  // Sequential files, addressed by number; each throws ToolkitError.
  virtual int FreeFile() = 0;
  virtual void OpenForInput(int fileNumber, const std::string& path) = 0;
  virtual void OpenForOutput(int fileNumber, const std::string& path) = 0;
  // Writes the text and a line break, as 8-bit text.
  virtual void Print(int fileNumber, const std::string& text) = 0;
  // Closing a number that is not open does nothing.
  virtual void Close(int fileNumber) = 0;

  virtual void SetMousePointer(MousePointer pointer) = 0;

  // Calls onTimer about every interval while the program is idle: never
  // while an event handler runs, nor while a message box of one is up. One
  // timer: a later call replaces it.
  virtual void SetTimer(uint32_t intervalMs, std::function<void()> onTimer) = 0;

  // Unloads the window, which raises its unload event.
  virtual void Unload() = 0;
  // Ends the program at once.
  virtual void End() = 0;
};

}  // namespace ravlin
