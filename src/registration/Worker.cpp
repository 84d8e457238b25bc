#include "registration/Worker.h"

namespace ravlin {

uint32_t RegistrationWorker(void* parameter) {
  // A copy: once the window has closed, a worker that is still running has no job.
  const WorkerJob job = *static_cast<const WorkerJob*>(parameter);
  const bool initialised = job.platform->OleInitialize(nullptr) >= 0;
  const int32_t result = job.platform->CallExport(job.entryPoint);
  if (initialised) job.platform->OleUninitialize();
  return static_cast<uint32_t>(result);
}

}  // namespace ravlin
