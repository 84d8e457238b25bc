// benchlookin [runs]
// Times Look in (LookInFolder, through WinPlatform) on a folder holding one
// 50 MB cabinet whose last member is the control the program misses, against
// taking that member alone out of the same cabinet with the cabinet library
// (FDICopy passing every other member over). Runs alternate. Then the memory
// the look takes: the process's peak working set and commit after a look in
// a 1 MB cabinet, and again after one in the 50 MB cabinet; they must not
// grow with the cabinet. Both cabinets are made by the build (gcab, MSZIP,
// members of data that does not compress).
#include <windows.h>
#include <fcntl.h>
#include <fdi.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "Process.h"
#include "Stats.h"
#include "registration/FolderTake.h"
#include "platform/win32/WinPlatform.h"

using bench::Expect;

namespace {

constexpr char kWanted[] = "noop.ocx";  // the cabinets' last member

std::string Folder() {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string path = self;
  return path.substr(0, path.find_last_of('\\'));
}

uint64_t SizeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

// The copy a look or an extraction made, and the folder it made for it.
void RemoveCopy(const std::string& copy) {
  DeleteFileA(copy.c_str());
  RemoveDirectoryA(copy.substr(0, copy.find_last_of('\\')).c_str());
}

// Look in as the window runs it, for a program missing one control.
double LookInMs(ravlin::Platform& platform, const std::string& folder) {
  ravlin::ProgramState program;
  program.program = folder + "\\benchapp.exe";
  program.folder = folder;
  ravlin::ControlState missing;
  missing.control.file = kWanted;
  missing.kind = ravlin::ControlState::Kind::NotFound;
  program.controls.push_back(missing);
  const double start = bench::NowMs();
  const ravlin::FolderLook look = ravlin::LookInFolder(platform, program, folder);
  const double elapsed = bench::NowMs() - start;
  const std::string copy = program.controls[0].foundAt;
  const bool right = look.found == 1 && look.skipped.empty() && SizeOf(copy) > 0;
  if (!copy.empty()) RemoveCopy(copy);
  return Expect(right, "Look in " + folder + " takes " + kWanted + " out of its cabinet") ? elapsed : -1;
}

// The reference: FDICopy with callbacks of the plainest kind, every member
// but the wanted one passed over.
FNALLOC(Allocate) { return std::malloc(cb); }
FNFREE(Release) { std::free(pv); }
FNOPEN(Open) {
  (void)pmode;
  const bool write = (oflag & (_O_WRONLY | _O_RDWR)) != 0;
  const HANDLE file = CreateFileA(pszFile, write ? GENERIC_WRITE : GENERIC_READ, write ? 0 : FILE_SHARE_READ,
                                  nullptr, write ? CREATE_NEW : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  return file == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<INT_PTR>(file);
}
FNREAD(Read) {
  DWORD done = 0;
  return ReadFile(reinterpret_cast<HANDLE>(hf), pv, cb, &done, nullptr) ? done : static_cast<UINT>(-1);
}
FNWRITE(Write) {
  DWORD done = 0;
  return WriteFile(reinterpret_cast<HANDLE>(hf), pv, cb, &done, nullptr) ? done : static_cast<UINT>(-1);
}
FNCLOSE(Close) { return CloseHandle(reinterpret_cast<HANDLE>(hf)) ? 0 : -1; }
FNSEEK(Seek) {
  const DWORD moved = SetFilePointer(reinterpret_cast<HANDLE>(hf), dist, nullptr, static_cast<DWORD>(seektype));
  return moved == INVALID_SET_FILE_POINTER ? -1 : static_cast<long>(moved);
}

struct Target {
  std::string path;  // where the wanted member goes
  bool written = false;
};

FNFDINOTIFY(Notify) {
  Target& target = *static_cast<Target*>(pfdin->pv);
  if (fdint == fdintCOPY_FILE) {
    if (lstrcmpiA(pfdin->psz1, kWanted) != 0) return 0;
    const INT_PTR file = Open(&target.path[0], _O_WRONLY | _O_CREAT, 0);
    target.written = file != -1;
    return file;
  }
  if (fdint == fdintCLOSE_FILE_INFO) return Close(pfdin->hf) == 0 ? TRUE : -1;
  return 0;
}

struct ContextDestroyer {
  void operator()(void* context) const { FDIDestroy(context); }
};

double ExtractMs(const std::string& folder, const std::string& cabinet, const std::string& into) {
  Target target{into + "\\" + kWanted, false};
  const double start = bench::NowMs();
  ERF error{};
  const std::unique_ptr<void, ContextDestroyer> context(
      FDICreate(Allocate, Release, Open, Read, Write, Close, Seek, cpuUNKNOWN, &error));
  std::string name = cabinet, where = folder + "\\";
  const bool copied = context && FDICopy(context.get(), &name[0], &where[0], 0, Notify, nullptr, &target);
  const double elapsed = bench::NowMs() - start;
  const bool right = copied && target.written && SizeOf(target.path) > 0;
  DeleteFileA(target.path.c_str());
  return Expect(right, "FDICopy takes " + std::string(kWanted) + " out of " + cabinet) ? elapsed : -1;
}

PROCESS_MEMORY_COUNTERS_EX Counters() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                       sizeof(counters));
  return counters;
}

double KiB(size_t bytes) { return static_cast<double>(bytes) / 1024.0; }

void PrintCounters(const char* what, const PROCESS_MEMORY_COUNTERS_EX& c) {
  std::printf("   %-44s %10.1f %10.1f %10.1f %10.1f\n", what, KiB(c.PeakWorkingSetSize), KiB(c.WorkingSetSize),
              KiB(c.PeakPagefileUsage), KiB(c.PagefileUsage));
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 15;
  if (runs < 1) {
    std::printf("usage: benchlookin [runs >= 1]\n");
    return 2;
  }
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::printf("\n10. Look in a folder with a 50 MB cabinet holding the missing control last, against taking\n"
              "   that member alone out of it with the cabinet library (%s build)\n",
              sizeof(void*) == 8 ? "64-bit" : "32-bit");
  const std::string big = Folder() + "\\bench\\lookin-big", small = Folder() + "\\bench\\lookin-small";
  const uint64_t bigBytes = SizeOf(big + "\\BIG.CAB"), smallBytes = SizeOf(small + "\\SMALL.CAB");
  if (!Expect(bigBytes > 45 * 1024 * 1024 && smallBytes > 0 && smallBytes < 2 * 1024 * 1024,
              "the build made a 50 MB and a 1 MB cabinet in bin\\bench"))
    return 1;
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string into = std::string(temp) + "ravlin-bench-fdi";
  CreateDirectoryA(into.c_str(), nullptr);
  DeleteFileA((into + "\\" + kWanted).c_str());  // left by a run that was ended midway

  // Memory first, before the timed runs have set the process's peaks.
  ravlin::WinPlatform platform;
  LookInMs(platform, small);
  ExtractMs(small, "SMALL.CAB", into);
  const PROCESS_MEMORY_COUNTERS_EX afterSmall = Counters();
  LookInMs(platform, big);
  const PROCESS_MEMORY_COUNTERS_EX afterBig = Counters();

  ExtractMs(big, "BIG.CAB", into);  // warm-up: the big cabinet's pages in the file cache
  std::vector<double> lookMs, extractMs;
  for (int i = 0; i < runs; ++i) {
    const double looked = LookInMs(platform, big);
    if (looked >= 0) lookMs.push_back(looked);
    const double extracted = ExtractMs(big, "BIG.CAB", into);
    if (extracted >= 0) extractMs.push_back(extracted);
  }
  RemoveDirectoryA(into.c_str());

  const bench::Stats look = bench::Summarise(lookMs), extract = bench::Summarise(extractMs);
  std::printf("   BIG.CAB: %.1f MB, %s the last of 6 members\n", static_cast<double>(bigBytes) / 1e6, kWanted);
  bench::PrintHeader("milliseconds");
  bench::PrintRow("Look in, the folder with BIG.CAB", look);
  bench::PrintRow("FDICopy of that member alone", extract);
  bench::PrintGoal("ratio of medians look/extraction", extract.median > 0 ? look.median / extract.median : 0, 1.2);

  std::printf("   %-44s %10s %10s %10s %10s\n", "KiB", "peak WS", "WS", "peak commit", "commit");
  PrintCounters("after Look in SMALL.CAB (1 MB)", afterSmall);
  PrintCounters("after Look in BIG.CAB (50 MB)", afterBig);
  const double peakGrowth = KiB(afterBig.PeakWorkingSetSize) - KiB(afterSmall.PeakWorkingSetSize);
  const double commitGrowth = KiB(afterBig.PeakPagefileUsage) - KiB(afterSmall.PeakPagefileUsage);
  // A look that held the cabinet, or mapped it whole, would grow by its size.
  const double bound = KiB(static_cast<size_t>(bigBytes - smallBytes)) / 16;
  std::printf("   growth from the 1 MB to the 50 MB cabinet: peak WS %+.1f KiB, peak commit %+.1f KiB "
              "(at most %.0f KiB, 1/16 of the difference in size)\n",
              peakGrowth, commitGrowth, bound);
  Expect(peakGrowth <= bound && commitGrowth <= bound, "the memory Look in takes is flat in the cabinet's size");
  if (!bench::Failures().empty()) {
    std::printf("\nbenchlookin: %zu step(s) FAILED\n", bench::Failures().size());
    return 1;
  }
  return 0;
}
