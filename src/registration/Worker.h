#pragma once
// What a registration worker runs: one export, inside a COM apartment of its own.
#include <atomic>

#include "platform/Platform.h"

namespace ravlin {

// Kept until the worker has ended, and for good if the registrar goes first.
struct WorkerJob {
  Platform* platform;
  Proc entryPoint;
  // Set once the export has returned: a control may end the thread from inside it.
  std::atomic<bool> returned{false};
};

// The worker's thread procedure (parameter: a WorkerJob). Initialises COM as
// the platform's registration tool does before it calls the export, since
// many controls register through COM; the export runs even when that fails.
// The export's result is the thread's exit code.
uint32_t RegistrationWorker(void* job);

}  // namespace ravlin
