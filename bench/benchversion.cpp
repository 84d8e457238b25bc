// benchversion [runs]
// Times reading the version summary, through the real version library, on
// 100 MB control files whose version block lies at their very end against a
// 50 KB one with the same block: the time must not grow with the file. The
// version library's two calls alone are timed beside it, to tell the
// program's share from the platform's.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "DataDll.h"
#include "Stats.h"
#include "platform/win32/WinPlatform.h"
#include "inspection/VersionSummary.h"

using bench::Expect;

namespace {

constexpr uint64_t kSmallBytes = 50 * 1024;
constexpr uint64_t kBigBytes = 100 * 1024 * 1024;
constexpr uint32_t kLinkerAlignment = 0x200;
constexpr uint32_t kPageAlignment = 0x1000;
// The fixture's block, as the resource compiler wrote it.
const char kCompany[] = "Ravlin Test Controls Incorporated";
const char kVersion[] = "4.2.1.7";

std::string ExeDir() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir = path;
  return dir.substr(0, dir.find_last_of('\\'));
}

double NowMs() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

uint64_t FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// One read of the summary, checked.
bool SummaryRead(ravlin::Platform& platform, const std::string& path) {
  const ravlin::VersionSummary summary = ravlin::ReadVersionSummary(platform, path);
  return Expect(summary.HasVersion(), "a product version is found in " + path) &&
         Expect(summary.company == kCompany, "company in " + path + ": [" + summary.company + "]") &&
         Expect(summary.version == kVersion, "version in " + path + ": [" + summary.version + "]");
}

// The two calls the summary's reader makes, and nothing else.
bool PlatformRead(const std::string& path) {
  DWORD unused = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &unused);
  std::string block(size, '\0');
  return Expect(size != 0 && GetFileVersionInfoA(path.c_str(), 0, size, &block[0]) != 0,
                "the version library reads " + path);
}

struct Case {
  std::string label;
  std::function<bool()> read;
  std::vector<double> times;
};

struct ControlFile {
  const char* name;
  uint64_t bytes;
  uint32_t alignment;
  std::string path;
};

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 15;
  if (runs < 1) {
    std::printf("usage: benchversion [runs >= 1]\n");
    return 2;
  }
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::printf("\n5. Version read: the version summary of a file whose version block lies at its end (%s build)\n",
              sizeof(void*) == 8 ? "64-bit" : "32-bit");

  const std::string block = bench::VersionResourceOf(ExeDir() + "\\fixtures\\version16.dll");
  if (!Expect(!block.empty(), "the version block of fixtures\\version16.dll")) return 1;
  const std::string folder = ExeDir() + "\\bench";
  CreateDirectoryA(folder.c_str(), nullptr);
  ControlFile files[] = {
      {"version-50k.ocx", kSmallBytes, kLinkerAlignment, {}},
      {"version-100m-paged.ocx", kBigBytes, kPageAlignment, {}},
      {"version-100m.ocx", kBigBytes, kLinkerAlignment, {}},
  };
  for (ControlFile& file : files) {
    file.path = folder + "\\" + file.name;
    const uint64_t blockAt = bench::WriteDataDll(file.path, file.bytes, block, file.alignment);
    if (!Expect(blockAt != 0, std::string("writing ") + file.name)) return 1;
    std::printf("   %-24s %10llu bytes, sections aligned to %4u bytes, block at byte %llu\n", file.name,
                static_cast<unsigned long long>(FileSize(file.path)), file.alignment,
                static_cast<unsigned long long>(blockAt));
  }
  const std::string& small = files[0].path;
  const std::string& bigPaged = files[1].path;
  const std::string& big = files[2].path;

  {
    ravlin::WinPlatform platform;
    Case cases[] = {
        {"the version summary, 50 KB", [&] { return SummaryRead(platform, small); }, {}},
        {"the version summary, 100 MB, page-aligned", [&] { return SummaryRead(platform, bigPaged); }, {}},
        {"the version summary, 100 MB, 512-byte aligned", [&] { return SummaryRead(platform, big); }, {}},
        {"  the two version calls alone, 50 KB", [&] { return PlatformRead(small); }, {}},
        {"  the two version calls alone, 100 MB, 512", [&] { return PlatformRead(big); }, {}},
    };
    for (Case& c : cases) c.read();  // warm-up: the library code and the file cache
    for (int i = 0; i < runs; ++i) {
      // Each round starts with another case, so a drift favours none.
      for (size_t turn = 0; turn < 5; ++turn) {
        Case& c = cases[(turn + static_cast<size_t>(i)) % 5];
        const double start = NowMs();
        const bool right = c.read();
        const double elapsed = NowMs() - start;
        if (right) c.times.push_back(elapsed);
      }
    }
    bench::Stats stats[5];
    bench::PrintHeader("milliseconds");
    for (size_t i = 0; i < 5; ++i) {
      stats[i] = bench::Summarise(cases[i].times);
      bench::PrintRow(cases[i].label, stats[i]);
    }
    const auto ratio = [](const bench::Stats& a, const bench::Stats& b) {
      return b.median > 0 ? a.median / b.median : 0;
    };
    const double paged = ratio(stats[1], stats[0]);
    // A read that went through the file would take about 2000 times longer on the big one.
    const bool flat = paged > 0 && paged <= 2.0;
    std::printf("   ratio of medians 100 MB page-aligned/50 KB: %.2f  does not grow with the file (<= 2.00): %s\n",
                paged, flat ? "met" : "NOT met");
    std::printf("   ratio of medians 100 MB 512-byte aligned/50 KB: %.2f, for the version calls alone: %.2f\n",
                ratio(stats[2], stats[0]), ratio(stats[4], stats[3]));
    std::printf("   share of the version calls in the summary's read of the 512-byte aligned 100 MB file: %.0f%%\n",
                stats[2].median > 0 ? 100.0 * stats[4].median / stats[2].median : 0);
    Expect(flat, "the read time does not grow with the file size");
  }
  for (const ControlFile& file : files) DeleteFileA(file.path.c_str());
  if (!bench::Failures().empty()) {
    std::printf("\nbenchversion: %zu step(s) FAILED\n", bench::Failures().size());
    return 1;
  }
  return 0;
}
