#pragma once
// What a registration worker runs: one export, inside a COM apartment of its own.
#include "platform/Platform.h"

namespace ravlin {

// Kept until the worker has ended or the window closes; the worker copies it when it starts.
struct WorkerJob {
  Platform* platform;
  Proc entryPoint;
};

// The worker's thread procedure (parameter: a WorkerJob). Initialises COM as
// the platform's registration tool does before it calls the export, since
// many controls register through COM; the export runs even when that fails.
// The export's result is the thread's exit code.
uint32_t RegistrationWorker(void* job);

}  // namespace ravlin
