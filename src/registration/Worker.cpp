#include "registration/Worker.h"

namespace ravlin {

uint32_t RegistrationWorker(void* parameter) {
  WorkerJob& job = *static_cast<WorkerJob*>(parameter);
  Platform& platform = *job.platform;
  const bool initialised = platform.OleInitialize(nullptr) >= 0;
  const int32_t result = platform.CallExport(job.entryPoint);
  job.returned = true;
  if (initialised) platform.OleUninitialize();
  return static_cast<uint32_t>(result);
}

}  // namespace ravlin
