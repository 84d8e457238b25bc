#pragma once
// The UI driver: starts the real program and works its window from another
// process, as a user would, through window messages only.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "window/ControlIds.h"

namespace e2e {

// Folder of uidriver.exe; the program and bin/fixtures lie there.
std::string DriverDir();
std::string ProgramPath();
std::string FixturePath(const std::string& name);

// The companion control's place in the prefix, as the program looks for it.
std::string SystemDirectory();  // the folder the program lists its controls from

// The fixture with version information; its exports write and remove this key.
inline constexpr char kVersionedKey[] = "Software\\RavlinFixtures\\versioned";
inline constexpr char kVersionedSummary[] =
    "Company Name:  Ravlin Fixture Controls\r\nProduct Version:  2.5.0.1";

std::string CompanionPath();  // c:\windows\syswow64\RICHTX32.OCX
void PlaceCompanion(const std::string& fixtureName);  // copies a fixture there
void RemoveCompanion();

bool RegistryKeyExists(const std::string& subKeyUnderHkcu);
void DeleteRegistryKey(const std::string& subKeyUnderHkcu);
void DeleteKeyIfEmpty(const std::string& subKeyUnderHkcu);  // no values, no subkeys
// Wine's settings for one program: HKCU\Software\Wine\AppDefaults\<exeName>.
std::string AppDefaultsKey(const std::string& exeName);

// What the driver can read of another process's resources.
struct ProcessCounters {
  size_t peakWorkingSet = 0;  // bytes
  size_t workingSet = 0;      // bytes
  size_t privateBytes = 0;    // bytes committed for the process alone (its commit charge)
  DWORD handles = 0;          // kernel handles it holds
};
// Counters of any process the driver can open (PROCESS_QUERY_INFORMATION).
ProcessCounters CountersOf(HANDLE process, DWORD processId);

// A high-resolution clock in milliseconds.
double NowMs();

// One registration or unregistration through the window.
struct RegistrationRun {
  std::string summary;       // lblFileInfo while the confirmation buttons are up
  std::string state;         // lblState then: what is registered to the file
  std::string confirmation;  // the box after Proceed ("WWW"); "" when none came
  std::string outcome;       // the engine's box after it; "" when none came
  double outcomeMs = 0;      // from the press on the confirmation's OK to the outcome on screen
  bool backToIdle = false;   // the idle buttons came back after the outcome was dismissed
};

// One run of the program (or another program), ended when the object goes.
class Session {
 public:
  explicit Session(const std::string& arguments = "", const std::string& program = ProgramPath());
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // The text of the next message box the program shows (dialog #32770, static 65535),
  // waited for up to timeoutMs; "" when none came. The box stays up.
  std::string WaitBox(DWORD timeoutMs = 15000);
  HWND Box() const;  // the box now up, or nullptr
  void DismissBox();  // presses its OK button and waits until it is gone
  // WaitBox, then DismissBox; returns the text.
  std::string TakeBox(DWORD timeoutMs = 15000);

  // Polls every millisecond (the coarse poll above would blur timings) for a
  // visible box other than `other`; nullptr when none came in time.
  HWND WaitNewBox(HWND other = nullptr, DWORD timeoutMs = 15000) const;
  static std::string BoxText(HWND box);
  // Presses the box's OK button and returns at once.
  static void PressOk(HWND box);
  // Waits until the control is visible (or, with shown false, hidden).
  bool WaitVisible(ravlin::ControlId id, bool shown = true, DWORD timeoutMs = 10000);

  // Works the file named in text1 as a user would, with the fine poll:
  // button (IdCmdRegister or IdCmdUnregister), Proceed, the confirmation
  // dismissed, the engine's message read and dismissed.
  RegistrationRun RunRegistration(ravlin::ControlId button, DWORD timeoutMs = 15000);

  // The start-up box taken, the main window up and visible.
  void StartIdle();
  // Waits until the main window is visible.
  void WaitShown();
  // What a user's drag of the lower border does: the lower section comes into view.
  void DragTaller();

  HWND Main(DWORD timeoutMs = 10000);  // the window of class frmRavlin
  HWND Control(ravlin::ControlId id);
  std::string Text(ravlin::ControlId id);
  bool Visible(ravlin::ControlId id);
  bool ReadOnly(ravlin::ControlId id);  // edit control locked
  // The idle button set (Register, Unregister, Exit; text1 open) or the
  // confirmation one (Proceed, Cancel; text1 locked), each with the other hidden.
  bool Idle();
  bool Confirming();
  HWND Focus();                         // the focused control of the program's thread
  void Click(ravlin::ControlId id);     // posted, so a box it opens does not block the driver
  void SetText(ravlin::ControlId id, const std::string& text);  // as if typed
  // A mouse press on File1 at a client point: button is WM_LBUTTONDOWN or WM_RBUTTONDOWN.
  void PressList(UINT buttonMessage, int x, int y);
  std::vector<std::string> ListEntries(ravlin::ControlId id);
  int ListSelection(ravlin::ControlId id);

  bool Responds(DWORD timeoutMs = 2000);  // the window answers a message in time
  bool WaitExit(DWORD timeoutMs = 5000);
  bool Running() const;
  DWORD ProcessId() const { return process_.dwProcessId; }
  HANDLE Process() const { return process_.hProcess; }
  ProcessCounters Counters() const { return CountersOf(process_.hProcess, process_.dwProcessId); }
  // Saves a BMP of the program's window (or the whole screen when window is null).
  void Screenshot(const std::string& bmpPath, HWND window = nullptr);

 private:
  // WaitFor that also gives up once the program has ended.
  bool Until(const std::function<bool()>& condition, DWORD timeoutMs, DWORD intervalMs) const;

  PROCESS_INFORMATION process_{};
};

// Whether the driver runs under Wine.
bool UnderWine();

// Whether this 32-bit build runs under qemu (the test command says so), where a control's access
// violation arrives as an illegal instruction and the memory counters include the emulator's.
bool Emulated32Bit();

// Under Wine on a display without a window manager, Wine waits two seconds
// for a manager that never answers each time it hides a window (every
// dismissed box). For as long as this object lives, Wine does not hand the
// windows of the named programs to a window manager, so nothing waits; it
// does nothing on Windows. Only the values it set are removed again.
class UnmanagedWindows {
 public:
  explicit UnmanagedWindows(const std::vector<std::string>& exeNames);
  ~UnmanagedWindows();
  UnmanagedWindows(const UnmanagedWindows&) = delete;
  UnmanagedWindows& operator=(const UnmanagedWindows&) = delete;

 private:
  std::vector<std::string> set_;  // the programs whose value this object set
};

// A message's first line: the plain outcome, which what follows explains.
inline std::string FirstLine(const std::string& text) { return text.substr(0, text.find("\r\n")); }

// Scenario registration and checks.
using ScenarioFn = void (*)();
struct Registrar {
  Registrar(const char* name, ScenarioFn fn);
};
#define SCENARIO(name)                                    \
  static void name();                                     \
  static ::e2e::Registrar name##_registrar(#name, &name); \
  static void name()

// Polls condition every intervalMs until it holds or timeoutMs has passed.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs, DWORD intervalMs = 50);

// Records a failed check of the running scenario; returns cond.
bool Check(bool cond, const std::string& what);
bool CheckEq(const std::string& actual, const std::string& expected, const std::string& what);
// Ends any process with this executable name (for consoles a script leaves behind).
void KillProcesses(const char* exeName);
// Whether a pixel of exactly this colour shows inside the control on screen.
bool ShowsColour(HWND control, COLORREF colour);
// Runs the scenarios whose names contain one of the arguments (all without any).
int RunScenarios(int argc, char** argv);
// Output folder for screenshots and other artifacts (env RAVLIN_ARTIFACTS, else DriverDir()).
std::string ArtifactDir();

}  // namespace e2e
