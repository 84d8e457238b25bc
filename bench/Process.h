#pragma once
// The clock, and a program run as a process from its creation to its end:
// how the figures time regsvr32, reg and the program's command line.
#include <windows.h>

#include <memory>
#include <string>

namespace bench {

inline double NowMs() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using OwnedHandle = std::unique_ptr<void, HandleCloser>;

struct ProcessRun {
  bool ended = false;   // within the limit; a process past it is ended
  DWORD exitCode = 1;   // when it ended
  double ms = -1;       // creation to end
};

// `program` with `arguments`; its standard output goes to `output` when one
// is given (an inheritable handle), else nowhere it could block on.
inline ProcessRun RunToEnd(const std::string& program, const std::string& arguments, HANDLE output = nullptr,
                           DWORD limitMs = 60000) {
  std::string commandLine = "\"" + program + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  if (output) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    startup.hStdInput = nullptr;
  }
  PROCESS_INFORMATION process{};
  ProcessRun run;
  const double start = NowMs();
  if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, output ? TRUE : FALSE, 0, nullptr,
                      nullptr, &startup, &process))
    return run;
  const OwnedHandle owned(process.hProcess), thread(process.hThread);
  run.ended = WaitForSingleObject(process.hProcess, limitMs) == WAIT_OBJECT_0;
  run.ms = NowMs() - start;
  if (!run.ended) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, limitMs);
  } else if (!GetExitCodeProcess(process.hProcess, &run.exitCode)) {
    run.ended = false;
  }
  return run;
}

}  // namespace bench
