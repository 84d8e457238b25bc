// benchcapture [runs]
// Times the capture of one control's registration against regsvr32 /s of the
// same control: the capture starts the program as its own copy with the
// registry's roots pointed at a private key, runs the control's
// DllRegisterServer there, reads back what it wrote and removes the key
// (CaptureRegistration, through WinPlatform, as No registry and
// /s /manifest run it for each control). Runs alternate; after each
// regsvr32 /s an untimed regsvr32 /s /u leaves the registry as it was.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Process.h"
#include "Stats.h"
#include "platform/win32/WinPlatform.h"
#include "registration/Capture.h"

using bench::Expect;

namespace {

constexpr char kClass[] = "{6A3B1E20-7C41-4F0E-9D2A-52A1C0FFEE10}";  // the one realclass.ocx registers

std::string Folder() {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string path = self;
  return path.substr(0, path.find_last_of('\\'));
}

std::string Regsvr32() {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  return std::string(folder) + "\\regsvr32.exe";
}

double CaptureMs(ravlin::Platform& platform, const std::string& program, const std::string& control) {
  const double start = bench::NowMs();
  const ravlin::ControlDescription caught = ravlin::CaptureRegistration(platform, program, control);
  const double elapsed = bench::NowMs() - start;
  const bool right = caught.source == ravlin::ControlDescription::Source::Capture && caught.classes.size() == 1 &&
                     caught.classes[0].clsid == kClass;
  return Expect(right, "the capture of " + control + " catches its one class " + kClass) ? elapsed : -1;
}

// The copy alone, as the capture starts it, into a private key of the bench's
// own: how much of the capture is the second process.
double CopyMs(const std::string& program, const std::string& control) {
  const char* const key = "Software\\RavlinBenchCapture";
  HKEY created = nullptr;
  if (!Expect(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr) ==
                  ERROR_SUCCESS,
              "creating HKCU\\" + std::string(key)))
    return -1;
  RegCloseKey(created);
  const bench::ProcessRun run = bench::RunToEnd(program, "/capture " + std::string(key) + " \"" + control + "\"");
  RegDeleteTreeA(HKEY_CURRENT_USER, key);
  return Expect(run.ended && run.exitCode == 0, "ravlin.exe /capture ends with 0") ? run.ms : -1;
}

double Regsvr32Ms(const std::string& arguments) {
  const bench::ProcessRun run = bench::RunToEnd(Regsvr32(), arguments);
  return Expect(run.ended && run.exitCode == 0, "regsvr32 " + arguments + " succeeds") ? run.ms : -1;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 15;
  if (runs < 1) {
    std::printf("usage: benchcapture [runs >= 1]\n");
    return 2;
  }
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::printf("\n8. The capture of one control's registration against regsvr32 /s of it (%s build)\n",
              sizeof(void*) == 8 ? "64-bit" : "32-bit");
  const std::string program = Folder() + "\\ravlin.exe";
  const std::string control = Folder() + "\\fixtures\\realclass.ocx";
  const std::string quoted = "\"" + control + "\"";
  ravlin::WinPlatform platform;
  CaptureMs(platform, program, control);  // warm-up: both programs' pages, the Wine server's
  Regsvr32Ms("/s " + quoted);
  Regsvr32Ms("/s /u " + quoted);
  std::vector<double> captureMs, copyMs, toolMs;
  for (int i = 0; i < runs; ++i) {
    const double caught = CaptureMs(platform, program, control);
    if (caught >= 0) captureMs.push_back(caught);
    const double copied = CopyMs(program, control);
    if (copied >= 0) copyMs.push_back(copied);
    const double registered = Regsvr32Ms("/s " + quoted);
    if (registered >= 0) toolMs.push_back(registered);
    Regsvr32Ms("/s /u " + quoted);
  }
  const bench::Stats capture = bench::Summarise(captureMs), tool = bench::Summarise(toolMs);
  bench::PrintHeader("milliseconds");
  bench::PrintRow("capture of realclass.ocx", capture);
  bench::PrintRow("  of it, the copy alone (ravlin.exe /capture)", bench::Summarise(copyMs));
  bench::PrintRow("regsvr32 /s realclass.ocx", tool);
  bench::PrintGoal("ratio of medians capture/regsvr32", tool.median > 0 ? capture.median / tool.median : 0, 1.5);
  if (!bench::Failures().empty()) {
    std::printf("\nbenchcapture: %zu step(s) FAILED\n", bench::Failures().size());
    return 1;
  }
  return 0;
}
