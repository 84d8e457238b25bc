// benchdriver [--runs N] [--cycles N] [startup] [registration] [handover] [memory]
// Times the real program from outside, as the UI driver works it, each figure
// beside its reference in the same run: start-up against the floor program,
// a registration against regsvr32 /s, a control of the other architecture
// (handed to that architecture's regsvr32) against that regsvr32 run directly,
// memory and handles after start-up and after many registrations in one process.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Stats.h"
#include "tests/e2e/Driver.h"

using namespace ravlin;
using bench::Expect;
using bench::PrintHeader;
using bench::PrintRow;
using bench::Summarise;

namespace {

constexpr DWORD kTimeoutMs = 30000;

std::string FloorPath() { return e2e::DriverDir() + "\\floor.exe"; }
std::string NoopControl() { return e2e::DriverDir() + "\\bench\\noop.ocx"; }

const char* Bits() { return sizeof(void*) == 8 ? "64-bit" : "32-bit"; }

// Closes a program session the way a user would, so the next start finds
// nothing of it left.
void EndProgram(e2e::Session& session) {
  if (HWND main = session.Main(kTimeoutMs)) {
    session.WaitVisible(IdCmdExit);
    PostMessageA(main, WM_CLOSE, 0, 0);
  }
  Expect(session.WaitExit(kTimeoutMs), "the program ends when its window is closed");
}

// Process creation to the first message box of the process on screen.
double StartupMs(const std::string& exe, bool isProgram) {
  const double start = e2e::NowMs();
  e2e::Session session("", exe);
  HWND box = session.WaitNewBox(nullptr, kTimeoutMs);
  const double elapsed = e2e::NowMs() - start;
  if (!Expect(box != nullptr, exe + " shows its box")) return -1;
  const std::string text = e2e::Session::BoxText(box);
  Expect(!isProgram || text.rfind("Found ", 0) == 0 || text.rfind("NOT FOUND: ", 0) == 0,
         "the program's first box is the start-up box, got [" + text + "]");
  e2e::Session::PressOk(box);
  if (isProgram)
    EndProgram(session);
  else
    Expect(session.WaitExit(kTimeoutMs), "the floor ends when its box is dismissed");
  return elapsed;
}

// Two timings side by side and whether the first stays within goal times the second.
void PrintAgainstGoal(const char* name, const std::vector<double>& ours, const char* referenceName,
                      const std::vector<double>& reference, const std::string& ratioName, double goal) {
  const bench::Stats p = Summarise(ours), r = Summarise(reference);
  PrintHeader("milliseconds");
  PrintRow(name, p);
  PrintRow(referenceName, r);
  bench::PrintGoal(("ratio of medians " + ratioName).c_str(), r.median > 0 ? p.median / r.median : 0, goal);
}

void BenchStartup(int runs) {
  std::printf("\n1. Start-up latency: process creation to the start-up box on screen (%s builds)\n", Bits());
  StartupMs(e2e::ProgramPath(), true);  // warm the file cache and the Wine server
  StartupMs(FloorPath(), false);
  std::vector<double> program, floor;
  for (int i = 0; i < runs; ++i) {
    // Alternating which goes first keeps a drift from favouring either.
    const bool programFirst = i % 2 == 0;
    for (int turn = 0; turn < 2; ++turn) {
      const bool isProgram = (turn == 0) == programFirst;
      const double ms = StartupMs(isProgram ? e2e::ProgramPath() : FloorPath(), isProgram);
      if (ms >= 0) (isProgram ? program : floor).push_back(ms);
    }
  }
  PrintAgainstGoal("ravlin.exe", program, "floor.exe (only a message box)", floor, "ravlin/floor", 1.10);
}

std::string SystemTool() { return e2e::SystemDirectory() + "\\regsvr32.exe"; }

// The regsvr32 of the other architecture: what the program hands such a control to.
std::string OtherArchitectureTool() {
  char folder[MAX_PATH] = {};
  if (sizeof(void*) == 8) {
    if (GetSystemWow64DirectoryA(folder, MAX_PATH) == 0) return {};
    return std::string(folder) + "\\regsvr32.exe";
  }
  GetWindowsDirectoryA(folder, MAX_PATH);
  return std::string(folder) + "\\Sysnative\\regsvr32.exe";
}

// regsvr32 as a process, silent; its exit code is 0 on success.
double Regsvr32Ms(const std::string& arguments, const std::string& tool = SystemTool()) {
  std::string commandLine = "\"" + tool + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  const double start = e2e::NowMs();
  if (!Expect(CreateProcessA(tool.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process) != 0,
              "regsvr32 starts"))
    return -1;
  const bool ended = WaitForSingleObject(process.hProcess, kTimeoutMs) == WAIT_OBJECT_0;
  const double elapsed = e2e::NowMs() - start;
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  if (!ended) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (!Expect(ended && exitCode == 0, "regsvr32 " + arguments + " succeeds")) return -1;
  return elapsed;
}

double ProgramMs(e2e::Session& session, ControlId button) {
  const e2e::RegistrationRun run = session.RunRegistration(button, kTimeoutMs);
  const bool right = Expect(run.confirmation == "WWW", "confirmation box, got [" + run.confirmation + "]") &&
                     Expect(run.outcome.rfind("Process completed", 0) == 0, "outcome box, got [" + run.outcome + "]") &&
                     Expect(run.backToIdle, "the window is idle again");
  return right ? run.outcomeMs : -1;
}

void BenchRegistration(int runs) {
  std::printf("\n2. Registration overhead: a control whose exports return at once (%s builds)\n", Bits());
  std::printf("   ravlin.exe: from the press on \"WWW\" to \"Process completed\" on screen;\n"
              "   regsvr32: the process from creation to its end\n");
  e2e::Session session;
  session.StartIdle();
  session.SetText(IdText1, NoopControl());
  const std::string quoted = "\"" + NoopControl() + "\"";
  ProgramMs(session, IdCmdRegister);  // warm-up
  Regsvr32Ms("/s " + quoted);
  std::vector<double> programRegister, programUnregister, toolRegister, toolUnregister;
  auto keep = [](std::vector<double>& into, double ms) {
    if (ms >= 0) into.push_back(ms);
  };
  for (int i = 0; i < runs; ++i) {
    keep(programRegister, ProgramMs(session, IdCmdRegister));
    keep(toolRegister, Regsvr32Ms("/s " + quoted));
    keep(programUnregister, ProgramMs(session, IdCmdUnregister));
    keep(toolUnregister, Regsvr32Ms("/s /u " + quoted));
  }
  EndProgram(session);
  const bench::Stats pr = Summarise(programRegister), tr = Summarise(toolRegister);
  const bench::Stats pu = Summarise(programUnregister), tu = Summarise(toolUnregister);
  PrintHeader("milliseconds");
  PrintRow("ravlin.exe register", pr);
  PrintRow("regsvr32 /s", tr);
  PrintRow("ravlin.exe unregister", pu);
  PrintRow("regsvr32 /s /u", tu);
  bench::PrintGoal("ratio of medians ravlin/regsvr32, register", tr.median > 0 ? pr.median / tr.median : 0, 0.5);
  bench::PrintGoal("ratio of medians ravlin/regsvr32, unregister", tu.median > 0 ? pu.median / tu.median : 0, 0.5);
}

void BenchHandOver(int runs) {
  std::printf("\n2b. A control of the other architecture (%s builds): the program hands it to\n"
              "   that architecture's regsvr32; from the press on \"WWW\" to \"Process completed\",\n"
              "   beside the same regsvr32 /s run directly\n", Bits());
  const std::string control = e2e::FixturePath("otherarch.ocx");
  const std::string tool = OtherArchitectureTool();
  if (std::getenv("RAVLIN_NO_32BIT") && sizeof(void*) == 8) {
    std::printf("   skipped: this host cannot run 32-bit programs, so the 32-bit regsvr32 cannot run\n");
    return;
  }
  e2e::Session session;
  session.StartIdle();
  session.SetText(IdText1, control);
  const std::string quoted = "\"" + control + "\"";
  ProgramMs(session, IdCmdRegister);  // warm-up
  Regsvr32Ms("/s " + quoted, tool);
  std::vector<double> program, direct;
  for (int i = 0; i < runs; ++i) {
    const double ms = ProgramMs(session, IdCmdRegister);
    if (ms >= 0) program.push_back(ms);
    const double toolMs = Regsvr32Ms("/s " + quoted, tool);
    if (toolMs >= 0) direct.push_back(toolMs);
  }
  ProgramMs(session, IdCmdUnregister);
  EndProgram(session);
  PrintAgainstGoal("ravlin.exe, handed over", program, "regsvr32 /s, run directly", direct,
                   "ravlin/regsvr32", 1.20);
}

void PrintCounters(const char* what, const e2e::ProcessCounters& c) {
  std::printf("   %-44s %10.1f %10.1f %10.1f %8lu\n", what, static_cast<double>(c.peakWorkingSet) / 1024.0,
              static_cast<double>(c.workingSet) / 1024.0, static_cast<double>(c.privateBytes) / 1024.0,
              static_cast<unsigned long>(c.handles));
}

void BenchMemory(int cycles) {
  std::printf("\n4. Memory and handles, read from outside (%s builds); a cycle is a registration and an\n"
              "   unregistration of the control whose exports return at once, through the window\n",
              Bits());
  e2e::ProcessCounters floorCounters;
  {
    e2e::Session floor("", FloorPath());
    HWND box = floor.WaitNewBox(nullptr, kTimeoutMs);
    Expect(box != nullptr, "the floor shows its box");
    Sleep(500);
    floorCounters = floor.Counters();
    e2e::Session::PressOk(box);
    floor.WaitExit(kTimeoutMs);
  }
  e2e::Session session;
  session.StartIdle();
  session.SetText(IdText1, NoopControl());
  Sleep(500);
  const e2e::ProcessCounters started = session.Counters();
  // Halfway, too: growth that stops shows as none in the second half.
  e2e::ProcessCounters halfway;
  int right = 0;
  for (int i = 0; i < cycles; ++i) {
    if (i == cycles / 2) {
      Sleep(500);
      halfway = session.Counters();
    }
    const bool ok = ProgramMs(session, IdCmdRegister) >= 0 && ProgramMs(session, IdCmdUnregister) >= 0;
    if (!ok) break;
    ++right;
  }
  Expect(right == cycles, std::to_string(right) + " of " + std::to_string(cycles) + " cycles went right");
  Sleep(500);
  const e2e::ProcessCounters cycled = session.Counters();
  EndProgram(session);
  std::printf("   %-44s %10s %10s %10s %8s\n", "KiB / count", "peak WS", "WS", "commit", "handles");
  PrintCounters("floor.exe, its box up", floorCounters);
  PrintCounters("ravlin.exe after start-up", started);
  const std::string half = "ravlin.exe after " + std::to_string(cycles / 2) + " cycles";
  PrintCounters(half.c_str(), halfway);
  const std::string after = "ravlin.exe after " + std::to_string(right) + " cycles";
  PrintCounters(after.c_str(), cycled);
  const auto kib = [](size_t to, size_t from) {
    return (static_cast<double>(to) - static_cast<double>(from)) / 1024.0;
  };
  std::printf("   growth, first half of the cycles: peak WS %+.1f KiB, commit %+.1f KiB, handles %+ld\n",
              kib(halfway.peakWorkingSet, started.peakWorkingSet), kib(halfway.privateBytes, started.privateBytes),
              static_cast<long>(halfway.handles) - static_cast<long>(started.handles));
  std::printf("   growth, second half:              peak WS %+.1f KiB, commit %+.1f KiB, handles %+ld\n",
              kib(cycled.peakWorkingSet, halfway.peakWorkingSet), kib(cycled.privateBytes, halfway.privateBytes),
              static_cast<long>(cycled.handles) - static_cast<long>(halfway.handles));
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 15, cycles = 200;
  bool startup = false, registration = false, handover = false, memory = false, usage = false;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--runs" && i + 1 < argc)
      runs = std::atoi(argv[++i]);
    else if (argument == "--cycles" && i + 1 < argc)
      cycles = std::atoi(argv[++i]);
    else if (argument == "startup")
      startup = true;
    else if (argument == "registration")
      registration = true;
    else if (argument == "handover")
      handover = true;
    else if (argument == "memory")
      memory = true;
    else
      usage = true;
  }
  if (usage || runs < 1 || cycles < 2) {
    std::printf("usage: benchdriver [--runs N >= 1] [--cycles N >= 2] [startup] [registration] [handover] [memory]\n");
    return 2;
  }
  if (!startup && !registration && !handover && !memory) startup = registration = handover = memory = true;
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  const e2e::UnmanagedWindows unmanaged({"ravlin.exe", "floor.exe"});
  if (e2e::UnderWine())
    std::printf("Under Wine: the windows of ravlin.exe and floor.exe are not handed to a window manager\n"
                "(X11 Driver\\Managed=N while this runs), else each dismissed box waits 2 s for one.\n");
  if (startup) BenchStartup(runs);
  if (registration) BenchRegistration(runs);
  if (handover) BenchHandOver(runs);
  if (memory) BenchMemory(cycles);
  if (!bench::Failures().empty()) {
    std::printf("\nbenchdriver: %zu step(s) FAILED\n", bench::Failures().size());
    return 1;
  }
  return 0;
}
