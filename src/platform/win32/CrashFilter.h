#pragma once
// A fault on a thread other than the user-interface thread (a control's
// worker, or a thread the control started) ends that thread instead of the
// program, and is kept for the engine to report.
#include <cstdint>

#include "platform/Platform.h"

namespace ravlin {

// Sets the filter; the calling thread is the user-interface thread, whose faults
// go on to the filter that was there before.
void InstallCrashFilter();
bool TakeCrashRecord(uint32_t threadId, CrashRecord* record);

}  // namespace ravlin
