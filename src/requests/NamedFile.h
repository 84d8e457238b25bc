#pragma once
// What a name typed, dropped or given on the command line turns out to be,
// decided once for the window and the command line alike.
#include <optional>
#include <string>

#include "inspection/ProgramState.h"
#include "platform/Platform.h"

namespace ravlin {

struct NamedFile {
  enum class Kind {
    NotFound,                // no ordinary file there, or a device name
    Control,                 // any other file: what Register acts on
    Program,                 // a Visual Basic program that lists controls
    ProgramUnreadable,       // a Visual Basic program whose list cannot be read
    ProgramWithoutControls,  // a Visual Basic program that lists none
  };
  Kind kind = Kind::NotFound;
  std::string path;                     // in full; "" when NotFound
  std::optional<ProgramState> program;  // Program: its controls and their state
};

// Never throws: a failing read counts as the file not being there.
NamedFile ReadNamedFile(Platform& platform, const std::string& fileSpec);

// What a listing can show of a file that is no program: a library (any
// executable image) is described, anything else is refused with why.
enum class ListedFile { CannotRead, NotALibrary, Library };
ListedFile ReadListedFile(Platform& platform, const std::string& path);

// The companion control where this system keeps it; a failing probe chooses
// system32, as at start-up.
std::string CompanionPath(Platform& platform);

}  // namespace ravlin
