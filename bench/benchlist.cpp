// benchlist [runs]
// Times `ravlin.exe /list` of a program listing 8 controls (the 2 MB program
// of figure 7), as a process from its creation to its end, against the floor
// program's start-up (its creation to its box on screen): what an install
// script waits for against the least a program of this build can take. Runs
// alternate; each list's output is read and checked.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchApp.h"
#include "Process.h"
#include "Stats.h"
#include "tests/e2e/Driver.h"

using bench::Expect;

namespace {

constexpr DWORD kTimeoutMs = 30000;

// Process creation to the floor's box on screen; the box is dismissed after.
double FloorMs() {
  const double start = bench::NowMs();
  e2e::Session session("", e2e::DriverDir() + "\\floor.exe");
  HWND box = session.WaitNewBox(nullptr, kTimeoutMs);
  const double elapsed = bench::NowMs() - start;
  if (!Expect(box != nullptr, "the floor shows its box")) return -1;
  e2e::Session::PressOk(box);
  Expect(session.WaitExit(kTimeoutMs), "the floor ends when its box is dismissed");
  return elapsed;
}

// The first field of each line: the control's state.
std::vector<std::string> States(const std::string& text) {
  std::vector<std::string> states;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find("\r\n", at);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(at, end - at);
    if (!line.empty()) states.push_back(line.substr(0, line.find('\t')));
    at = end + 2;
  }
  return states;
}

std::string ReadAll(HANDLE file) {
  std::string text;
  if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return text;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
  return text;
}

// The list as a script runs it, its output to a file.
double ListMs(const std::string& program, const std::string& outputPath) {
  SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
  const bench::OwnedHandle output(CreateFileA(outputPath.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                              &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr));
  if (!Expect(output.get() != INVALID_HANDLE_VALUE, "creating " + outputPath)) return -1;
  const bench::ProcessRun run = bench::RunToEnd(e2e::ProgramPath(), "/list \"" + program + "\"", output.get());
  if (!Expect(run.ended && run.exitCode == 0, "ravlin.exe /list ends with 0")) return -1;
  const std::vector<std::string> expected = {"registered", "registered", "registered", "found",
                                             "found",      "found",      "not-found",  "not-found"};
  const std::string text = ReadAll(output.get());
  return Expect(States(text) == expected, "/list tells 3 registered, 3 found, 2 not-found, got [" + text + "]")
             ? run.ms
             : -1;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 15;
  if (runs < 1) {
    std::printf("usage: benchlist [runs >= 1]\n");
    return 2;
  }
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::printf("\n9. ravlin.exe /list of a program with %d controls against the floor program's start-up (%s builds)\n",
              bench::kAppControls, sizeof(void*) == 8 ? "64-bit" : "32-bit");
  const e2e::UnmanagedWindows unmanaged({"floor.exe"});
  bench::BenchApp app;
  if (!Expect(bench::WriteApp("ravlin-bench-list", &app), "writing the 2 MB program")) {
    bench::RemoveApp(app);
    return 1;
  }
  const std::string output = app.folder + "\\list.txt";
  ListMs(app.program, output);  // warm-up: the program's pages, the Wine server's
  FloorMs();
  std::vector<double> listMs, floorMs;
  for (int i = 0; i < runs; ++i) {
    // Alternating which goes first keeps a drift from favouring either.
    for (int turn = 0; turn < 2; ++turn) {
      if ((turn == 0) == (i % 2 == 0)) {
        const double ms = ListMs(app.program, output);
        if (ms >= 0) listMs.push_back(ms);
      } else {
        const double ms = FloorMs();
        if (ms >= 0) floorMs.push_back(ms);
      }
    }
  }
  DeleteFileA(output.c_str());
  bench::RemoveApp(app);
  const bench::Stats list = bench::Summarise(listMs), floor = bench::Summarise(floorMs);
  bench::PrintHeader("milliseconds");
  bench::PrintRow("ravlin.exe /list, creation to end", list);
  bench::PrintRow("floor.exe, creation to its box", floor);
  bench::PrintGoal("ratio of medians list/floor", floor.median > 0 ? list.median / floor.median : 0, 1.5);
  if (!bench::Failures().empty()) {
    std::printf("\nbenchlist: %zu step(s) FAILED\n", bench::Failures().size());
    return 1;
  }
  return 0;
}
