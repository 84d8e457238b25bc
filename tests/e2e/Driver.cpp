#include "Driver.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

#include <psapi.h>
#include <tlhelp32.h>

namespace e2e {

namespace {

struct Scenario {
  const char* name;
  ScenarioFn fn;
};

std::vector<Scenario>& Scenarios() {
  static std::vector<Scenario> scenarios;
  return scenarios;
}

std::vector<std::string>* g_failures = nullptr;

std::string ClassName(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof(name));
  return name;
}

// A box that has just come up after a long block of its thread may still
// count as hung for a moment; asking with SMTO_NORMAL waits for its answer.
std::string WindowText(HWND window, UINT timeoutFlags = SMTO_ABORTIFHUNG) {
  // WM_GETTEXT crosses processes; a timeout keeps a hung program from hanging the driver.
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, timeoutFlags, 5000, &length)) return {};
  std::string text(length + 1, '\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]),
                      timeoutFlags, 5000, &copied);
  text.resize(copied);
  return text;
}

struct WindowQuery {
  DWORD processId;
  const char* className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
  auto* query = reinterpret_cast<WindowQuery*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == query->processId && ClassName(window) == query->className) query->found.push_back(window);
  return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD processId, const char* className) {
  WindowQuery query{processId, className, {}};
  EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&query));
  return query.found;
}

HWND FirstChildOfClass(HWND parent, const char* className) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (_stricmp(ClassName(child).c_str(), className) == 0) return child;
  return nullptr;
}

bool WriteBmp(const std::string& path, HDC source, const RECT& area) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return false;
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(header);
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
  header.biSizeImage = stride * static_cast<DWORD>(height);
  HDC memory = CreateCompatibleDC(source);
  HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, source, area.left, area.top, SRCCOPY);
  SelectObject(memory, previous);
  std::vector<char> pixels(header.biSizeImage);
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
            reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(header);
  file.bfSize = file.bfOffBits + header.biSizeImage;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof(file));
  out.write(reinterpret_cast<const char*>(&header), sizeof(header));
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  return static_cast<bool>(out);
}

}  // namespace

std::string DriverDir() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir = path;
  return dir.substr(0, dir.find_last_of('\\'));
}

std::string ProgramPath() { return DriverDir() + "\\ravlin.exe"; }
std::string FixturePath(const std::string& name) { return DriverDir() + "\\fixtures\\" + name; }

std::string ArtifactDir() {
  char value[MAX_PATH] = {};
  std::string dir = GetEnvironmentVariableA("RAVLIN_ARTIFACTS", value, MAX_PATH) ? value
                                                                                  : DriverDir() + "\\artifacts";
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

std::string SystemDirectory() {
  char path[MAX_PATH] = {};
  GetSystemDirectoryA(path, MAX_PATH);
  return path;
}

std::string CompanionPath() { return "c:\\windows\\syswow64\\RICHTX32.OCX"; }

void PlaceCompanion(const std::string& fixtureName) {
  RemoveCompanion();
  if (!CopyFileA(FixturePath(fixtureName).c_str(), CompanionPath().c_str(), FALSE))
    Check(false, "could not place " + fixtureName + " as " + CompanionPath());
}

void RemoveCompanion() {
  SetFileAttributesA(CompanionPath().c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(CompanionPath().c_str());
}

bool RegistryKeyExists(const std::string& subKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void DeleteRegistryKey(const std::string& subKey) { RegDeleteKeyA(HKEY_CURRENT_USER, subKey.c_str()); }

void KillProcesses(const char* exeName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (_stricmp(entry.szExeFile, exeName) != 0) continue;
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
      TerminateProcess(process, 1);
      WaitForSingleObject(process, 5000);
      CloseHandle(process);
    }
  }
  CloseHandle(snapshot);
}

Session::Session(const std::string& arguments, const std::string& program) {
  std::string commandLine = "\"" + program + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process_)) {
    Check(false, "could not start " + program);
    process_ = {};
  }
}

Session::~Session() {
  if (!process_.hProcess) return;
  if (Running()) {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 5000);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

bool Session::Running() const {
  return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Session::WaitExit(DWORD timeoutMs) {
  return process_.hProcess && WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

bool Session::Until(const std::function<bool()>& condition, DWORD timeoutMs, DWORD intervalMs) const {
  bool met = false;
  WaitFor([&] { return (met = condition()) || !Running(); }, timeoutMs, intervalMs);
  return met;
}

HWND Session::Box() const {
  for (HWND box : TopLevelWindows(process_.dwProcessId, "#32770"))
    if (IsWindowVisible(box)) return box;
  return nullptr;
}

std::string Session::WaitBox(DWORD timeoutMs) {
  HWND box = nullptr;
  Until([&] { return (box = Box()) != nullptr; }, timeoutMs, 50);
  return BoxText(box);
}

HWND Session::WaitNewBox(HWND other, DWORD timeoutMs) const {
  HWND found = nullptr;
  Until(
      [&] {
        for (HWND box : TopLevelWindows(process_.dwProcessId, "#32770"))
          if (box != other && IsWindowVisible(box)) return (found = box) != nullptr;
        return false;
      },
      timeoutMs, 1);
  return found;
}

std::string Session::BoxText(HWND box) {
  if (!box) return {};
  HWND text = GetDlgItem(box, 0xFFFF);
  if (!text) text = FirstChildOfClass(box, "Static");
  return text ? WindowText(text, SMTO_NORMAL) : std::string();
}

void Session::PressOk(HWND box) {
  if (HWND ok = FirstChildOfClass(box, "Button"))
    PostMessageA(ok, BM_CLICK, 0, 0);
  else
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

bool Session::WaitVisible(ravlin::ControlId id, bool shown, DWORD timeoutMs) {
  return Until([&] { return Visible(id) == shown; }, timeoutMs, 1);
}

namespace {
bool Gone(HWND box) { return !IsWindow(box) || !IsWindowVisible(box); }
}  // namespace

RegistrationRun Session::RunRegistration(ravlin::ControlId button, DWORD timeoutMs) {
  RegistrationRun run;
  Click(button);
  if (!WaitVisible(ravlin::IdCmdProceed, true, timeoutMs)) return run;
  run.summary = Text(ravlin::IdLblFileInfo);
  // A long read of the state shows its line a while after the buttons: on a
  // busy machine, a registry of many classes takes many seconds.
  Until([&] { return !Text(ravlin::IdLblState).empty(); }, timeoutMs * 4, 10);
  run.state = Text(ravlin::IdLblState);
  Click(ravlin::IdCmdProceed);
  HWND confirmation = WaitNewBox(nullptr, timeoutMs);
  run.confirmation = BoxText(confirmation);
  if (!confirmation) return run;
  const double pressed = NowMs();
  PressOk(confirmation);
  // The confirmation may linger a moment after the press: the outcome is the next other box.
  HWND outcome = WaitNewBox(confirmation, timeoutMs);
  if (!outcome) return run;
  run.outcomeMs = NowMs() - pressed;
  run.outcome = BoxText(outcome);
  PressOk(outcome);
  WaitFor([&] { return Gone(outcome); }, timeoutMs, 1);
  // Idle only once the whole switch is done: Register shows before Proceed hides.
  run.backToIdle = WaitVisible(ravlin::IdCmdRegister, true, timeoutMs) &&
                   WaitVisible(ravlin::IdCmdProceed, false, timeoutMs);
  return run;
}

void Session::DismissBox() {
  HWND box = Box();
  if (!box) return;
  PressOk(box);
  WaitFor([&] { return Gone(box); }, 5000, 25);
}

std::string Session::TakeBox(DWORD timeoutMs) {
  const std::string text = WaitBox(timeoutMs);
  if (Box()) DismissBox();
  return text;
}

HWND Session::Main(DWORD timeoutMs) {
  HWND main = nullptr;
  Until(
      [&] {
        const std::vector<HWND> windows = TopLevelWindows(process_.dwProcessId, ravlin::kWindowClass);
        if (!windows.empty()) main = windows.front();
        return main != nullptr;
      },
      timeoutMs, 50);
  return main;
}

void Session::StartIdle() {
  if (WaitBox().empty()) Check(false, "no start-up box");
  DismissBox();
  WaitShown();
}

void Session::WaitShown() {
  HWND main = Main();
  Check(main && WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000, 25),
        "main window visible after the start-up box");
}

void Session::DragTaller() {
  HWND main = Main();
  RECT frame;
  GetWindowRect(main, &frame);
  SetWindowPos(main, nullptr, 0, 0, frame.right - frame.left, (frame.bottom - frame.top) * 2 + 40,
               SWP_NOMOVE | SWP_NOZORDER);
}

HWND Session::Control(ravlin::ControlId id) {
  HWND main = Main();
  return main ? GetDlgItem(main, id) : nullptr;
}

std::string Session::Text(ravlin::ControlId id) {
  HWND control = Control(id);
  return control ? WindowText(control) : std::string();
}

bool Session::Visible(ravlin::ControlId id) {
  HWND control = Control(id);
  return control && (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool Session::Idle() {
  return Visible(ravlin::IdCmdRegister) && Visible(ravlin::IdCmdUnregister) && Visible(ravlin::IdCmdExit) &&
         !Visible(ravlin::IdCmdProceed) && !Visible(ravlin::IdCmdCancel) && !ReadOnly(ravlin::IdText1);
}

bool Session::Confirming() {
  return Visible(ravlin::IdCmdProceed) && Visible(ravlin::IdCmdCancel) && !Visible(ravlin::IdCmdRegister) &&
         !Visible(ravlin::IdCmdUnregister) && !Visible(ravlin::IdCmdExit) && ReadOnly(ravlin::IdText1);
}

bool Session::ReadOnly(ravlin::ControlId id) {
  HWND control = Control(id);
  return control && (GetWindowLongA(control, GWL_STYLE) & ES_READONLY) != 0;
}

HWND Session::Focus() {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(process_.dwThreadId, &info)) return nullptr;
  return info.hwndFocus;
}

void Session::Click(ravlin::ControlId id) {
  HWND control = Control(id);
  if (!Check(control != nullptr, "control " + std::to_string(id) + " exists")) return;
  PostMessageA(control, BM_CLICK, 0, 0);
}

void Session::SetText(ravlin::ControlId id, const std::string& text) {
  HWND control = Control(id);
  if (!Check(control != nullptr, "control " + std::to_string(id) + " exists")) return;
  DWORD_PTR result = 0;
  SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                      5000, &result);
}

void Session::PressList(UINT buttonMessage, int x, int y) {
  HWND list = Control(ravlin::IdFile1);
  if (!Check(list != nullptr, "File1 exists")) return;
  const WPARAM keys = buttonMessage == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON;
  PostMessageA(list, buttonMessage, keys, MAKELPARAM(x, y));
  PostMessageA(list, buttonMessage == WM_LBUTTONDOWN ? WM_LBUTTONUP : WM_RBUTTONUP, 0, MAKELPARAM(x, y));
}

std::vector<std::string> Session::ListEntries(ravlin::ControlId id) {
  std::vector<std::string> entries;
  HWND list = Control(id);
  if (!list) return entries;
  DWORD_PTR count = 0;
  SendMessageTimeoutA(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count);
  // The wide form: Wine hands the narrow one over as 16-bit text between processes.
  for (DWORD_PTR i = 0; i < count; ++i) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 5000, &length);
    std::wstring wide(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&wide[0]), SMTO_ABORTIFHUNG, 5000,
                        &copied);
    wide.resize(copied);
    std::string text(wide.size() * 2 + 1, '\0');
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), &text[0],
                                          static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(static_cast<size_t>(bytes > 0 ? bytes : 0));
    entries.push_back(text);
  }
  return entries;
}

int Session::ListSelection(ravlin::ControlId id) {
  HWND list = Control(id);
  DWORD_PTR index = static_cast<DWORD_PTR>(LB_ERR);
  if (list) SendMessageTimeoutA(list, LB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &index);
  return static_cast<int>(static_cast<LRESULT>(index));
}

bool Session::Responds(DWORD timeoutMs) {
  HWND main = Main(0);
  DWORD_PTR result = 0;
  return main && SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &result) != 0;
}

void Session::Screenshot(const std::string& path, HWND window) {
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (window) GetWindowRect(window, &area);
  HDC screen = GetDC(nullptr);
  Check(WriteBmp(path, screen, area), "screenshot written to " + path);
  ReleaseDC(nullptr, screen);
}

bool ShowsColour(HWND control, COLORREF colour) {
  RECT area;
  if (!control || !GetWindowRect(control, &area)) return false;
  const int width = area.right - area.left, height = area.bottom - area.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  bool found = false;
  for (int y = 0; y < height && !found; ++y)
    for (int x = 0; x < width && !found; ++x) found = GetPixel(memory, x, y) == colour;
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return found;
}

double NowMs() {
  static const double ticksPerMs = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / ticksPerMs;
}

namespace {

// The system's handle table, for platforms whose GetProcessHandleCount reports
// nothing for another process (Wine gives 0).
DWORD HandlesInSystemTable(DWORD processId) {
  struct Entry {
    PVOID object;
    ULONG_PTR processId;
    ULONG_PTR handleValue;
    ULONG grantedAccess;
    USHORT creatorBackTraceIndex;
    USHORT objectTypeIndex;
    ULONG handleAttributes;
    ULONG reserved;
  };
  struct Table {
    ULONG_PTR count;
    ULONG_PTR reserved;
    Entry entries[1];
  };
  using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  constexpr ULONG kExtendedHandleInformation = 64;
  constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
  const auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return 0;
  std::vector<char> buffer(1 << 16);
  LONG status;
  ULONG needed = 0;
  while ((status = query(kExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                         &needed)) == kInfoLengthMismatch)
    buffer.resize(buffer.size() * 2);
  if (status != 0) return 0;
  const auto* table = reinterpret_cast<const Table*>(buffer.data());
  DWORD count = 0;
  for (ULONG_PTR i = 0; i < table->count; ++i)
    if (table->entries[i].processId == processId) ++count;
  return count;
}

}  // namespace

ProcessCounters CountersOf(HANDLE process, DWORD processId) {
  ProcessCounters counters;
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory))) {
    counters.peakWorkingSet = memory.PeakWorkingSetSize;
    counters.workingSet = memory.WorkingSetSize;
    // The commit charge; Wine fills only this one of the two fields that hold it.
    counters.privateBytes = memory.PagefileUsage;
  }
  if (!GetProcessHandleCount(process, &counters.handles) || counters.handles == 0)
    counters.handles = HandlesInSystemTable(processId);
  return counters;
}

bool UnderWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

bool Emulated32Bit() {
  return sizeof(void*) == 4 && GetEnvironmentVariableA("RAVLIN_WINE32_EMULATED", nullptr, 0) != 0;
}

std::string AppDefaultsKey(const std::string& exeName) { return "Software\\Wine\\AppDefaults\\" + exeName; }

void DeleteKeyIfEmpty(const std::string& subKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  DWORD subKeys = 1, values = 1;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr, nullptr,
                   nullptr, nullptr);
  RegCloseKey(key);
  if (subKeys == 0 && values == 0) RegDeleteKeyA(HKEY_CURRENT_USER, subKey.c_str());
}

namespace {

std::string X11DriverKey(const std::string& exeName) { return AppDefaultsKey(exeName) + "\\X11 Driver"; }

}  // namespace

UnmanagedWindows::UnmanagedWindows(const std::vector<std::string>& exeNames) {
  if (!UnderWine()) return;
  for (const std::string& exe : exeNames) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, X11DriverKey(exe).c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
      continue;
    if (RegQueryValueExA(key, "Managed", nullptr, nullptr, nullptr, nullptr) == ERROR_FILE_NOT_FOUND &&
        RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2) == ERROR_SUCCESS)
      set_.push_back(exe);
    RegCloseKey(key);
  }
}

UnmanagedWindows::~UnmanagedWindows() {
  for (const std::string& exe : set_) {
    RegDeleteKeyValueA(HKEY_CURRENT_USER, X11DriverKey(exe).c_str(), "Managed");
    DeleteKeyIfEmpty(X11DriverKey(exe));
    DeleteKeyIfEmpty(AppDefaultsKey(exe));
  }
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs, DWORD intervalMs) {
  const double deadline = NowMs() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    if (NowMs() >= deadline) return false;
    Sleep(intervalMs);
  }
}

Registrar::Registrar(const char* name, ScenarioFn fn) { Scenarios().push_back({name, fn}); }

bool Check(bool cond, const std::string& what) {
  if (!cond && g_failures) g_failures->push_back(what);
  return cond;
}

bool CheckEq(const std::string& actual, const std::string& expected, const std::string& what) {
  return Check(actual == expected, what + ": expected [" + expected + "] got [" + actual + "]");
}

int RunScenarios(int argc, char** argv) {
  int passed = 0, failed = 0;
  for (const Scenario& scenario : Scenarios()) {
    bool selected = argc < 2;
    for (int i = 1; i < argc; ++i) selected = selected || std::strstr(scenario.name, argv[i]) != nullptr;
    if (!selected) continue;
    std::vector<std::string> failures;
    g_failures = &failures;
    const ULONGLONG start = GetTickCount64();
    try {
      scenario.fn();
    } catch (const std::exception& error) {
      failures.push_back(std::string("exception: ") + error.what());
    }
    g_failures = nullptr;
    const double seconds = static_cast<double>(GetTickCount64() - start) / 1000.0;
    if (failures.empty()) {
      ++passed;
      std::printf("PASS %s (%.1f s)\n", scenario.name, seconds);
    } else {
      ++failed;
      std::printf("FAIL %s (%.1f s)\n", scenario.name, seconds);
      for (const std::string& failure : failures) std::printf("     %s\n", failure.c_str());
    }
    std::fflush(stdout);
  }
  std::printf("e2e: %d passed, %d failed\n", passed, failed);
  return failed == 0 && passed > 0 ? 0 : 1;
}

}  // namespace e2e
