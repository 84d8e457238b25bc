#pragma once
// A Visual Basic program's controls and where each one is: registered (to
// which file), or else found beside the program or in the 32-bit system
// folder. A few registry reads per class in the 32-bit view, the only one
// such programs have; no walk over the machine's classes.
#include <string>
#include <vector>

#include "inspection/FileIdentity.h"
#include "inspection/NeverControls.h"
#include "inspection/ProgramControls.h"
#include "inspection/RuntimeState.h"
#include "platform/Platform.h"

namespace ravlin {

struct ControlState {
  enum class Kind {
    Registered,      // to registeredTo, which exists
    MissingCopy,     // registered to registeredTo, which is not there
    Found,           // not registered; the file is at foundAt
    NotFound,        // not registered, and not beside the program nor in the system folder
    NotAControl,     // never looked for: what it is instead is in never
  };
  ProgramControl control;
  Kind kind = Kind::NotFound;
  std::string registeredTo;  // the file the first registered class names; "" when none is
  std::string foundAt;       // looked for only when not registered to an existing file
  NeverAControl never = NeverAControl::No;
  // Where a folder the user named held it: "D:\setup", or "SETUP1.CAB of D:\setup"
  // (foundAt is then the copy taken out of it). "" when found the usual way.
  std::string foundIn;
  // The file a run would act on, as it was when the list was confirmed.
  FileIdentity confirmed{};
  // Whether registering it could help: a control that is there and not
  // registered to an existing file. What is never a control never is, whatever
  // path it may have.
  bool Registrable() const { return kind != Kind::Registered && kind != Kind::NotAControl && !foundAt.empty(); }
};

struct ProgramState {
  ProgramControls::Kind kind = ProgramControls::Kind::NotVisualBasic;
  std::string program;       // in full
  std::string folder;        // the program's own
  std::string systemFolder;  // the 32-bit programs' system folder
  std::vector<ControlState> controls;
  RuntimeState runtime;    // the Visual Basic runtime it imports, and where it is
  bool underWine = false;  // what to do about a missing file differs
};

// The state of the program at programPath (in full). A failing platform call
// ends the read with its exception: the caller guards it.
ProgramState ReadProgramState(Platform& platform, const std::string& programPath);

// Whether path lies directly in folder (both as this program names them).
bool IsIn(const std::string& path, const std::string& folder);

}  // namespace ravlin
