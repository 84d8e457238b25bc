#pragma once
// What a script asks for on the command line: /s, /u, /manifest, /companion,
// /list, /out, /install, /to and /replace, in any order and any case.
#include <string>

namespace ravlin {

struct SilentRequest {
  enum class Mode {
    Window,      // neither /s nor /list: the window opens, with the file in its text box
    Usage,       // a command line that cannot be followed: nothing is done
    Register,    // a control, a Visual Basic program's controls, or the companion
    Unregister,  // the same
    Manifest,    // a program's manifest, for running it without registering
    List,        // a program's controls, or a control's version and registration
  };
  Mode mode = Mode::Window;
  bool companion = false;  // Register or Unregister RICHTX32.OCX in the system folder
  std::string file;        // the control or program, as given
  std::string out;         // where the report goes instead of the console; "" for the console
  std::string problem;     // Usage: what is wrong, in a sentence
  bool install = false;    // file is a setup folder: installed, undone (/u) or its plan listed
  std::string to;          // /to: the folder the setup's program goes into; "" for its own default
  bool replace = false;    // /replace: the shared files the setup has newer are replaced (never the system's)
};

SilentRequest ReadSilentRequest(const std::string& commandLine);

}  // namespace ravlin
