// Reliability: many registrations in one process, workers that hang, and
// inputs that are wrong in every way a user or a file can be.
#include "Driver.h"

#include <fstream>
#include <functional>
#include <iterator>
#include <memory>

#include <tlhelp32.h>

using namespace ravlin;

namespace e2e {
namespace {

const char kNoVersion[] = "(No Product Version available for this file)";
const char kCompleted[] = "Process completed";
const char kTimedOut[] =
    "Process failed in signaled state or time-out.\r\nThe control is still running and may yet finish its work.";
const char kNotLoaded[] = "Failure loading control DLL";
const char kNotFound[] = "File not found";

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// A folder for the files one scenario makes; it goes with everything in it.
class Scratch {
 public:
  Scratch() : dir_(DriverDir() + "\\reliability") {
    Clear();
    CreateDirectoryA(dir_.c_str(), nullptr);
  }
  ~Scratch() { Clear(); }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  std::string Path(const std::string& name) const { return dir_ + "\\" + name; }
  std::string Write(const std::string& name, const std::string& bytes) const {
    Check(WriteAll(Path(name), bytes), "writing " + name);
    return Path(name);
  }

 private:
  void Clear() const {
    WIN32_FIND_DATAW data;
    const std::wstring wideDir(dir_.begin(), dir_.end());
    HANDLE find = FindFirstFileW((wideDir + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring path = wideDir + L"\\" + data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          RemoveDirectoryW(path.c_str());
        else
          DeleteFileW(path.c_str());
      } while (FindNextFileW(find, &data));
      FindClose(find);
    }
    RemoveDirectoryA(dir_.c_str());
  }

  std::string dir_;
};

// Registration and unregistration of the fixture that writes its key, checked
// at every step.
bool RegistersAndUnregisters(Session& s, const std::string& what) {
  const RegistrationRun in = s.RunRegistration(IdCmdRegister);
  const bool registered = CheckEq(in.summary, kVersionedSummary, what + ": summary") &&
                          CheckEq(in.confirmation, "WWW", what + ": confirmation") &&
                          CheckEq(FirstLine(in.outcome), kCompleted, what + ": registration") &&
                          Check(RegistryKeyExists(kVersionedKey), what + ": the key is there") &&
                          Check(in.backToIdle, what + ": idle after registering");
  if (!registered) return false;
  const RegistrationRun out = s.RunRegistration(IdCmdUnregister);
  return CheckEq(out.summary, "", what + ": no summary for an unregistration") &&
         CheckEq(out.confirmation, "WWW", what + ": confirmation") &&
         CheckEq(FirstLine(out.outcome), kCompleted, what + ": unregistration") &&
         Check(!RegistryKeyExists(kVersionedKey), what + ": the key is gone") &&
         Check(out.backToIdle, what + ": idle after unregistering");
}

// Whether the process has a module of this file name loaded.
bool HasModule(DWORD processId, const char* fileName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  MODULEENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  bool found = false;
  for (BOOL more = Module32First(snapshot, &entry); more && !found; more = Module32Next(snapshot, &entry))
    found = _stricmp(entry.szModule, fileName) == 0;
  CloseHandle(snapshot);
  return found;
}

std::string Kib(size_t bytes) { return std::to_string(bytes / 1024) + " KiB"; }

SCENARIO(SoakOf200CyclesKeepsEveryMessageAndBoundedResources) {
  constexpr int kCycles = 200;
  constexpr int kWarmUp = 20;  // first boxes, fonts and the control's first load settle in
  constexpr size_t kMemoryBound = 1024 * 1024;
  constexpr long kHandleBound = 2;
  const UnmanagedWindows unmanaged({"ravlin.exe"});
  DeleteRegistryKey(kVersionedKey);
  Session s;
  s.StartIdle();
  s.SetText(IdText1, FixturePath("versioned.ocx"));
  ProcessCounters settled;
  int done = 0;
  for (; done < kCycles; ++done) {
    if (done == kWarmUp) settled = s.Counters();
    if (!RegistersAndUnregisters(s, "cycle " + std::to_string(done + 1))) break;
  }
  CheckEq(std::to_string(done), std::to_string(kCycles), "cycles that went right");
  if (done != kCycles) return;
  const ProcessCounters last = s.Counters();
  std::printf("     after %d cycles: working set %s (peak %s), commit %s, handles %lu; "
              "after %d: %s (peak %s), %s, %lu\n",
              kWarmUp, Kib(settled.workingSet).c_str(), Kib(settled.peakWorkingSet).c_str(),
              Kib(settled.privateBytes).c_str(), static_cast<unsigned long>(settled.handles), kCycles,
              Kib(last.workingSet).c_str(), Kib(last.peakWorkingSet).c_str(), Kib(last.privateBytes).c_str(),
              static_cast<unsigned long>(last.handles));
  Check(settled.handles > 0 && settled.peakWorkingSet > 0, "the counters can be read");
  Check(HasModule(s.ProcessId(), "ravlin.exe"), "the program's modules can be listed");
  Check(!HasModule(s.ProcessId(), "versioned.ocx"), "every load of the control was released");
  Check(static_cast<long>(last.handles) - static_cast<long>(settled.handles) <= kHandleBound,
        "handles stay within " + std::to_string(kHandleBound) + " of the settled count");
  if (Emulated32Bit()) {
    // Each load of the control is translated anew into qemu's code cache, which the counters include.
    std::printf("     (memory bounds skipped: they need native 32-bit support)\n");
  } else {
    Check(last.peakWorkingSet <= settled.peakWorkingSet + kMemoryBound,
          "the peak working set grows by at most " + Kib(kMemoryBound));
    Check(last.privateBytes <= settled.privateBytes + kMemoryBound,
          "the commit charge grows by at most " + Kib(kMemoryBound));
  }
  s.Click(IdCmdExit);
  Check(s.WaitExit(5000), "Exit ends the program");
}

SCENARIO(FiveTimeOutsInARowThenARegistrationThenExitAtOnce) {
  const UnmanagedWindows unmanaged({"ravlin.exe"});
  DeleteRegistryKey(kVersionedKey);
  Session s;
  s.StartIdle();
  // Each worker ends 2 s after its time-out, in the next one's wait; it is told of once idle.
  int late = 0;
  const auto takeLate = [&](DWORD timeoutMs) {
    for (std::string box; !(box = s.WaitBox(timeoutMs)).empty(); ++late) {
      Check(box.rfind(FixturePath("slow.ocx") + " has finished after the time limit:", 0) == 0, "late: " + box);
      s.DismissBox();
    }
  };
  const auto timeOut = [&](int i) {
    const std::string what = "time-out " + std::to_string(i);
    s.SetText(IdText1, FixturePath("slow.ocx"));
    const RegistrationRun run = s.RunRegistration(IdCmdRegister, 20000);
    CheckEq(run.confirmation, "WWW", what + ": confirmation");
    CheckEq(run.outcome, kTimedOut, what);
    Check(run.outcomeMs >= 9500 && run.outcomeMs <= 13000,
          what + " after about ten seconds, got " + std::to_string(static_cast<int>(run.outcomeMs)) + " ms");
    Check(run.backToIdle && s.Responds(), what + ": the window answers again");
  };
  for (int i = 1; i <= 4; ++i) {
    if (i > 1) takeLate(1500);
    timeOut(i);
  }
  takeLate(4000);
  CheckEq(std::to_string(late), "4", "every time-out told of once more when its worker ended");
  s.SetText(IdText1, FixturePath("versioned.ocx"));
  const RegistrationRun run = s.RunRegistration(IdCmdRegister);
  CheckEq(FirstLine(run.outcome), kCompleted, "the registration after the time-outs");
  Check(RegistryKeyExists(kVersionedKey), "and it took effect");
  DeleteRegistryKey(kVersionedKey);
  timeOut(5);
  Check(HasModule(s.ProcessId(), "slow.ocx"), "the control stays loaded while a worker sleeps in it");
  // The last worker still sleeps in the slow control; Exit must not wait for it.
  const double start = NowMs();
  s.Click(IdCmdExit);
  Check(s.WaitExit(3000), "Exit ends the program at once, with a worker still running");
  std::printf("     the program ended %.0f ms after Exit\n", NowMs() - start);
}

// What a user sees for one input: a refusal, or the summary and the engine's message.
struct Outcome {
  std::string refusal;  // the box right after the click; empty when the file was accepted
  std::string summary;  // lblFileInfo while confirming
  std::string message;  // the engine's box after "WWW"
};

Outcome Refused(const char* message) { return {message, "", ""}; }
Outcome Accepted(const std::string& summary, const char* message) { return {"", summary, message}; }

// Clicks the button for the text in text1 and follows whatever comes.
void CheckAttempt(Session& s, ControlId button, const Outcome& expected, const std::string& what) {
  s.Click(button);
  HWND box = nullptr;
  WaitFor([&] { return (box = s.WaitNewBox(nullptr, 0)) != nullptr || s.Visible(IdCmdProceed); }, 15000, 1);
  if (box) {
    CheckEq(Session::BoxText(box), expected.refusal, what + ": refusal");
    Session::PressOk(box);
    // Register stays visible under a refusal: only the box going tells it was taken.
    Check(WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000, 1),
          what + ": the refusal is gone");
    Check(s.WaitVisible(IdCmdRegister), what + ": idle after the refusal");
  } else {
    Check(expected.refusal.empty(), what + ": refused with [" + expected.refusal + "]");
    CheckEq(s.Text(IdLblFileInfo), expected.summary, what + ": summary");
    s.Click(IdCmdProceed);
    HWND question = s.WaitNewBox();
    CheckEq(Session::BoxText(question), "WWW", what + ": confirmation");
    Session::PressOk(question);
    HWND message = s.WaitNewBox(question);
    // A load failure's reason follows on the next lines; its first line is the message.
    const std::string text = Session::BoxText(message);
    CheckEq(text.substr(0, text.find("\r\n")), expected.message, what + ": message");
    Session::PressOk(message);
    Check(WaitFor([&] { return !IsWindow(message) || !IsWindowVisible(message); }, 5000, 1),
          what + ": the message is gone");
    Check(s.WaitVisible(IdCmdRegister), what + ": idle after the message");
  }
  Check(s.Running() && s.Responds() && s.Idle(), what + ": the program goes on");
}

// The first entry with this key in a block of 16-bit characters: its length
// and value length are the two 16-bit fields before the key.
size_t WideKeyAt(const std::string& bytes, const char* key) {
  std::string wide;
  for (const char* c = key; *c; ++c) wide += std::string{*c, '\0'};
  return bytes.find(wide);
}

// The control up to the end of its resource section; a later section's data is missing.
std::string CutAfterResources(const std::string& image) {
  if (!Check(image.size() > sizeof(IMAGE_DOS_HEADER), "an image to cut")) return {};
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
  const size_t fileHeaderAt = static_cast<size_t>(dos->e_lfanew) + 4;
  if (!Check(fileHeaderAt + sizeof(IMAGE_FILE_HEADER) <= image.size(), "the image has headers")) return {};
  const auto* file = reinterpret_cast<const IMAGE_FILE_HEADER*>(image.data() + fileHeaderAt);
  const size_t sectionsAt = fileHeaderAt + sizeof(IMAGE_FILE_HEADER) + file->SizeOfOptionalHeader;
  if (!Check(sectionsAt + file->NumberOfSections * sizeof(IMAGE_SECTION_HEADER) <= image.size(),
             "the image has its section table"))
    return {};
  const auto* sections = reinterpret_cast<const IMAGE_SECTION_HEADER*>(image.data() + sectionsAt);
  size_t cut = 0, end = 0;
  for (WORD i = 0; i < file->NumberOfSections; ++i) {
    const size_t sectionEnd = size_t{sections[i].PointerToRawData} + sections[i].SizeOfRawData;
    if (std::string(reinterpret_cast<const char*>(sections[i].Name), 5) == ".rsrc") cut = sectionEnd;
    if (sectionEnd > end) end = sectionEnd;
  }
  Check(cut > 0 && cut < end && end <= image.size(), "a section lies after the resources");
  return image.substr(0, cut);
}

void PutWord(std::string& bytes, size_t at, uint16_t value) {
  bytes[at] = static_cast<char>(value & 0xFF);
  bytes[at + 1] = static_cast<char>(value >> 8);
}

// The versioned control with the lengths in its version block rewritten:
// every entry on the way to the two values claims `length` bytes.
std::string WithLyingLengths(const std::string& control, uint16_t length) {
  std::string bytes = control;
  for (const char* key : {"VS_VERSION_INFO", "StringFileInfo", "CompanyName", "ProductVersion"}) {
    const size_t at = WideKeyAt(bytes, key);
    if (!Check(at != std::string::npos && at >= 6, std::string("the block has ") + key)) return {};
    PutWord(bytes, at - 6, length);  // the entry's length
    PutWord(bytes, at - 4, length);  // its value's length
  }
  return bytes;
}

SCENARIO(BadInputsEachEndInAClearMessageAndTheProgramGoesOn) {
  const UnmanagedWindows unmanaged({"ravlin.exe"});
  DeleteRegistryKey(kVersionedKey);
  Scratch scratch;
  const std::string versioned = ReadAll(FixturePath("versioned.ocx"));
  const std::string server = ReadAll(FixturePath("server.ocx"));
  Check(!versioned.empty() && !server.empty(), "the fixtures can be read");

  Session s;
  s.StartIdle();
  struct BadInput {
    const char* name;
    std::function<std::string()> text;  // prepares the input and names it
    Outcome registering;
    Outcome unregistering;
  };
  std::unique_ptr<void, decltype(&CloseHandle)> held(nullptr, &CloseHandle);
  const BadInput inputs[] = {
      {"a 32 KB text", [] { return "C:\\" + std::string(32 * 1024, 'x') + ".ocx"; }, Refused(kNotFound),
       Refused(kNotFound)},
      {"a wildcard *", [] { return FixturePath("*.ocx"); }, Refused(kNotFound), Refused(kNotFound)},
      {"a wildcard ?", [] { return FixturePath("server.oc?"); }, Refused(kNotFound), Refused(kNotFound)},
      // A device is never opened: a port read as a file could wait for ever.
      {"the device NUL", [] { return std::string("NUL"); }, Refused(kNotFound), Refused(kNotFound)},
      {"the device CON", [] { return std::string("CON"); }, Refused(kNotFound), Refused(kNotFound)},
      {"a directory named like a control",
       [&] {
         CreateDirectoryA(scratch.Path("folder.ocx").c_str(), nullptr);
         return scratch.Path("folder.ocx");
       },
       Refused(kNotFound), Refused(kNotFound)},
      {"a file held open without read sharing",
       [&] {
         const std::string path = scratch.Write("locked.ocx", server);
         held.reset(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
         Check(held.get() != INVALID_HANDLE_VALUE, "the file is held open");
         return path;
       },
       Refused(kNotFound), Refused(kNotFound)},
      {"a 0-byte control", [&] { return scratch.Write("empty.ocx", ""); }, Accepted(kNoVersion, kNotLoaded),
       Accepted("", kNotLoaded)},
      {"an executable cut after its headers",
       [&] { return scratch.Write("headers.ocx", versioned.substr(0, 1024)); }, Accepted(kNoVersion, kNotLoaded),
       Accepted("", kNotLoaded)},
      // The resources are all there: the summary is read, the load fails.
      {"an executable cut after its resources",
       [&] { return scratch.Write("cut.ocx", CutAfterResources(versioned)); },
       Accepted(kVersionedSummary, kNotLoaded), Accepted("", kNotLoaded)},
      {"a version block whose lengths are too long",
       [&] { return scratch.Write("longblock.ocx", WithLyingLengths(versioned, 0xFFF0)); },
       Accepted(kVersionedSummary, kCompleted), Accepted("", kCompleted)},
      {"a version block whose lengths are too short",
       [&] { return scratch.Write("shortblock.ocx", WithLyingLengths(versioned, 8)); },
       Accepted(kNoVersion, kCompleted), Accepted("", kCompleted)},
  };
  for (const BadInput& input : inputs) {
    const std::string text = input.text();
    s.SetText(IdText1, text);
    CheckEq(std::to_string(s.Text(IdText1).size()), std::to_string(text.size()),
            std::string(input.name) + ": text1 holds the whole text");
    CheckAttempt(s, IdCmdRegister, input.registering, std::string(input.name) + ", Register");
    CheckAttempt(s, IdCmdUnregister, input.unregistering, std::string(input.name) + ", Unregister");
    held.reset();
  }

  // After all of it, an ordinary registration still works.
  s.SetText(IdText1, FixturePath("versioned.ocx"));
  RegistersAndUnregisters(s, "after the bad inputs");
  s.Click(IdCmdExit);
  Check(s.WaitExit(5000), "Exit ends the program");
}

}  // namespace
}  // namespace e2e
