// benchstate [runs]
// Times the registration state reader on a registry view of 10,000 classes,
// made in a scratch key, against `reg query <that key> /s` run as a process,
// the command a user would reach for; then the same on the prefix's own
// classes. The reference is slow, so it runs once for every five reads.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Stats.h"
#include "inspection/PeImage.h"
#include "inspection/RegistrationState.h"
#include "platform/win32/WinPlatform.h"

using bench::Expect;

namespace {

constexpr int kClasses = 10000;
constexpr int kReadsPerReference = 5;
const char kScratch[] = "Software\\RavlinBench\\Classes";
const char kTarget[] = "C:\\Bench\\target.ocx";
constexpr uint16_t kOwnMachine = sizeof(void*) == 8 ? ravlin::kMachineAmd64 : ravlin::kMachineI386;

double NowMs() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

bool SetString(HKEY root, const std::string& subKey, const char* name, const std::string& value) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  const LONG result = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                     static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

std::string Clsid(int i) {
  char text[40];
  std::snprintf(text, sizeof(text), "{6A3B1E20-7C41-4F0E-9D2A-%012X}", static_cast<unsigned>(i));
  return text;
}

// Classes as installers leave them: a server, its threading model and a
// ProgID. Four are the target's, two another copy's of its name.
bool MakeScratchClasses(HKEY classes) {
  for (int i = 0; i < kClasses; ++i) {
    const std::string server = i % 3001 == 7 ? kTarget
                               : i % 4999 == 11 ? "C:\\Old\\target.ocx"
                                                : "C:\\Program Files\\Bench\\control" + std::to_string(i) + ".ocx";
    const std::string key = Clsid(i);
    if (!SetString(classes, key, nullptr, "Bench class " + std::to_string(i)) ||
        !SetString(classes, key + "\\InprocServer32", nullptr, server) ||
        !SetString(classes, key + "\\InprocServer32", "ThreadingModel", "Apartment") ||
        !SetString(classes, key + "\\ProgID", nullptr, "Bench.Class" + std::to_string(i)))
      return false;
  }
  return true;
}

// `reg query <key> /s`, its output thrown away, from creation to its end.
double RegQueryMs(const std::string& key) {
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                           nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = nul;
  startup.hStdError = nul;
  PROCESS_INFORMATION process{};
  std::string commandLine = "reg.exe query \"" + key + "\" /s";
  const double start = NowMs();
  const bool started = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                      nullptr, &startup, &process) != 0;
  DWORD exitCode = 1;
  if (started) {
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &exitCode);
  }
  const double elapsed = NowMs() - start;
  if (started) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(nul);
  return Expect(started && exitCode == 0, commandLine + " ran and succeeded") ? elapsed : -1;
}

struct Figure {
  std::vector<double> reader, reference;
};

// Alternates five reads with one reference run, so a drift favours neither.
template <typename Read>
Figure Measure(int runs, Read read, const std::string& referenceKey) {
  Figure figure;
  read();  // warm-up: the code and the registry's pages
  for (int i = 0; i < runs; ++i) {
    const double start = NowMs();
    const bool right = read();
    const double elapsed = NowMs() - start;
    if (right) figure.reader.push_back(elapsed);
    if (i % kReadsPerReference == 0) {
      const double reference = RegQueryMs(referenceKey);
      if (reference >= 0) figure.reference.push_back(reference);
    }
  }
  return figure;
}

// Prints both rows and the ratio; on the scratch classes, against the goal.
void Print(const char* readerName, const char* referenceName, const Figure& figure, bool goal) {
  const bench::Stats reader = bench::Summarise(figure.reader), reference = bench::Summarise(figure.reference);
  bench::PrintHeader("milliseconds");
  bench::PrintRow(readerName, reader);
  bench::PrintRow(referenceName, reference);
  const double ratio = reference.median > 0 ? reader.median / reference.median : 0;
  if (goal) {
    bench::PrintGoal("ratio of medians reader/reg query", ratio, 0.05, "%.3f");
    return;
  }
  std::printf("   ratio of medians reader/reg query: %.3f\n", ratio);
  // The spread of one read: how much of it the machine, not the reader, decides.
  bench::PrintGoal("median over minimum of the reader", reader.min > 0 ? reader.median / reader.min : 0, 1.5);
}

// What a registration of the target leaves: its four classes written again.
bool RegisterTarget(HKEY classes, int round) {
  for (int i = 7; i < kClasses; i += 3001)
    if (!SetString(classes, Clsid(i), nullptr, "Bench class " + std::to_string(i) + " #" + std::to_string(round)) ||
        !SetString(classes, Clsid(i) + "\\InprocServer32", nullptr, kTarget))
      return false;
  return true;
}

// The read after a yes: it starts from the read before the registration.
void MeasureReadAfter(ravlin::Platform& platform, HKEY classes, const std::vector<ravlin::ClassesRoot>& roots,
                      int runs) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const ravlin::RegistrationState before = ravlin::ReadRegistrationState(platform, kTarget, kOwnMachine, roots);
    if (!Expect(RegisterTarget(classes, i), "writing the target's classes again")) return;
    const double start = NowMs();
    const ravlin::RegistrationState after =
        ravlin::ReadRegistrationState(platform, kTarget, kOwnMachine, roots, {&before.basis, nullptr});
    const double elapsed = NowMs() - start;
    if (Expect(after.read && after.classes.size() == 4 && after.otherCopies.size() == 2,
               "the read after a registration finds the target's 4 classes and the other copy's 2"))
      times.push_back(elapsed);
  }
  const bench::Stats stats = bench::Summarise(times);
  std::printf("   the read after a registration, from the read before it:\n");
  bench::PrintHeader("milliseconds");
  bench::PrintRow("read after a registration, 10,000 classes", stats);
  bench::PrintGoal("median of the read after a registration (ms)", stats.median, 250, "%.0f");
}

std::string OwnSystemFolder() {
  char folder[MAX_PATH] = {};
  if (sizeof(void*) == 4 && GetSystemWow64DirectoryA(folder, MAX_PATH) != 0) return folder;
  GetSystemDirectoryA(folder, MAX_PATH);
  return folder;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 15;
  if (runs < 1) {
    std::printf("usage: benchstate [runs >= 1]\n");
    return 2;
  }
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::printf("\n6. Registration state: the reader against reg query /s (%s build)\n",
              sizeof(void*) == 8 ? "64-bit" : "32-bit");
  ravlin::WinPlatform platform;

  // The prefix's own classes first: the scratch classes' writes make the Wine server save the
  // registry a while later, and a read that meets the save waits for it.
  const std::string wshom = OwnSystemFolder() + "\\wshom.ocx";
  size_t realClasses = 0;
  const auto readReal = [&] {
    const ravlin::RegistrationState state = ravlin::ReadRegistrationState(platform, wshom);
    realClasses = state.classes.size();
    return Expect(state.read && !state.classes.empty(), "the reader finds the classes of " + wshom);
  };
  const Figure real = Measure(runs, readReal, "HKCR\\CLSID");
  std::printf("   on the prefix's own classes, for %s (%zu classes registered to it):\n", wshom.c_str(), realClasses);
  Print("reader, the prefix's classes", "reg query HKCR\\CLSID /s", real, false);

  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\RavlinBench");  // a run that ended early
  HKEY classes = nullptr;
  const std::string clsidKey = std::string(kScratch) + "\\CLSID";
  const double made = NowMs();
  const bool scratch = RegCreateKeyExA(HKEY_CURRENT_USER, clsidKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                       nullptr, &classes, nullptr) == ERROR_SUCCESS &&
                       MakeScratchClasses(classes);
  if (classes) RegCloseKey(classes);
  if (Expect(scratch, "making 10,000 classes under HKCU\\" + clsidKey)) {
    std::printf("   %d classes made under HKCU\\%s in %.0f ms\n", kClasses, clsidKey.c_str(), NowMs() - made);
    const std::vector<ravlin::ClassesRoot> roots{{ravlin::HkeyCurrentUser(), kScratch}};
    const auto read = [&] {
      const ravlin::RegistrationState state = ravlin::ReadRegistrationState(platform, kTarget, kOwnMachine, roots);
      return Expect(state.read && state.classes.size() == 4 && state.otherCopies.size() == 2,
                    "the reader finds the target's 4 classes and the other copy's 2, found " +
                        std::to_string(state.classes.size()) + " and " + std::to_string(state.otherCopies.size()));
    };
    Print("reader, 10,000 classes", "reg query HKCU\\...\\CLSID /s, 10,000 classes",
          Measure(runs, read, "HKCU\\" + clsidKey), true);
    if (RegOpenKeyExA(HKEY_CURRENT_USER, clsidKey.c_str(), 0, KEY_ALL_ACCESS, &classes) == ERROR_SUCCESS) {
      MeasureReadAfter(platform, classes, roots, runs);
      RegCloseKey(classes);
    }
  }
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\RavlinBench");
  HKEY left = nullptr;
  Expect(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\RavlinBench", 0, KEY_READ, &left) == ERROR_FILE_NOT_FOUND,
         "the scratch key is gone");
  if (left) RegCloseKey(left);

  if (!bench::Failures().empty()) {
    std::printf("\nbenchstate: %zu step(s) FAILED\n", bench::Failures().size());
    return 1;
  }
  return 0;
}
