// Processes started: the one body behind CreateProcessA and the start of a
// program tried in its own folder, and a process sealed in a job of its own:
// ended with this program, and unable to start another. Windows refuses a
// second process outright; Wine does not enforce the limit, so a watcher
// ends both the moment the job reports one.
#include <windows.h>

#include <memory>

#include "platform/win32/Handles.h"
#include "platform/win32/WinPlatform.h"
#include "platform/win32/WideText.h"

namespace ravlin {
namespace {

// What the watcher owns: the job's completion port, and the process it guards.
struct JobWatch {
  UniqueHandle port;
  DWORD processId = 0;
};

void End(DWORD processId, UINT exitCode) {
  const UniqueHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, processId));
  if (process) ::TerminateProcess(process.get(), exitCode);
}

// Holds no handle of the job, so that the caller's is the last one.
DWORD WINAPI Watch(void* parameter) {
  const std::unique_ptr<JobWatch> watch(static_cast<JobWatch*>(parameter));
  DWORD message = 0;
  ULONG_PTR key = 0;
  OVERLAPPED* detail = nullptr;
  while (::GetQueuedCompletionStatus(watch->port.get(), &message, &key, &detail, INFINITE)) {
    const DWORD processId = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(detail));
    const bool another = message == JOB_OBJECT_MSG_NEW_PROCESS && processId != watch->processId;
    if (another) End(processId, kStoppedStartingAProgram);
    if (another || message == JOB_OBJECT_MSG_ACTIVE_PROCESS_LIMIT) End(watch->processId, kStoppedStartingAProgram);
    if (message == JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO) break;
  }
  return 0;
}

// A job that ends its processes with its last handle, holds one, and reports to a port.
UniqueHandle SealedJob(JobWatch& watch) {
  UniqueHandle job(::CreateJobObjectW(nullptr, nullptr));
  if (!job) return job;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_ACTIVE_PROCESS;
  limits.BasicLimitInformation.ActiveProcessLimit = 1;
  watch.port.reset(::CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1));
  JOBOBJECT_ASSOCIATE_COMPLETION_PORT report{job.get(), watch.port.get()};
  if (!watch.port ||
      !::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
      !::SetInformationJobObject(job.get(), JobObjectAssociateCompletionPortInformation, &report, sizeof report))
    job.reset();
  return job;
}

}  // namespace

int32_t WinPlatform::CreateProcessA(const char* applicationName, char* commandLine,
                                    uint32_t creationFlags, ProcessInformation* information) {
  return StartProcess(applicationName, commandLine, creationFlags, nullptr, information);
}

int32_t WinPlatform::StartProcess(const char* applicationName, char* commandLine, uint32_t creationFlags,
                                  const char* currentDirectory, ProcessInformation* information) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  const WideArg application(applicationName), directory(currentDirectory);
  WideArg line(commandLine);  // the wide function may write into its command line
  const BOOL ok = ::CreateProcessW(application.get(), line.data(), nullptr, nullptr, FALSE, creationFlags, nullptr,
                                   directory.get(), &startup, &started);
  information->process = started.hProcess;
  information->thread = started.hThread;
  information->processId = started.dwProcessId;
  information->threadId = started.dwThreadId;
  return ok;
}

int32_t WinPlatform::CreateProcessInJobA(const char* applicationName, char* commandLine, uint32_t creationFlags,
                                         ProcessInformation* information, Handle* job) {
  *job = nullptr;
  auto watch = std::make_unique<JobWatch>();
  UniqueHandle sealed = SealedJob(*watch);
  if (!sealed) return 0;
  if (!CreateProcessA(applicationName, commandLine, creationFlags | CREATE_SUSPENDED, information)) return 0;
  watch->processId = information->processId;
  const UniqueHandle watcher(::AssignProcessToJobObject(sealed.get(), information->process)
                                 ? ::CreateThread(nullptr, 0, &Watch, watch.get(), 0, nullptr)
                                 : nullptr);
  if (!watcher) {
    ::TerminateProcess(information->process, ERROR_NOT_ENOUGH_QUOTA);
    ::CloseHandle(information->process);
    ::CloseHandle(information->thread);
    return 0;
  }
  watch.release();  // the watcher's now
  ::ResumeThread(information->thread);
  *job = sealed.release();
  return 1;
}

Handle WinPlatform::OpenProcess(uint32_t desiredAccess, int32_t inheritHandle, uint32_t processId) {
  return ::OpenProcess(desiredAccess, inheritHandle, processId);
}

uint32_t WinPlatform::GetCurrentProcessId() { return ::GetCurrentProcessId(); }

}  // namespace ravlin
