#pragma once
// A program tried once its controls are set up: started from its own folder
// and watched for a while for what its user would see first. The program is
// the user's: it is left running, only the program's handles to it close.
#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace ravlin {

constexpr uint32_t kTryWatchMs = 15000;
constexpr uint32_t kTryLookMs = 250;  // how often its windows are looked at

struct TryOutcome {
  enum class Kind {
    NotStarted,         // code: the system's error, text its words
    RegistrationError,  // Visual Basic's "Component ... not correctly registered" box: text
    ShowsMessage,       // another box of its own: text
    OpenedWindow,
    Ended,       // code: its exit code
    NoWindow,    // still running when the watch ended, no window shown
    Unwatched,   // started, but waiting on it failed
  };
  Kind kind = Kind::NotStarted;
  uint32_t code = 0;
  std::string text;
  uint32_t processId = 0;
};

// The window keeps painting meanwhile (WaitKeepingWindowAlive).
TryOutcome TryProgram(Platform& platform, const std::string& programPath);

}  // namespace ravlin
