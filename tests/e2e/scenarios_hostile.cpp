// Input a hostile user or file can give: odd registry values, damaged
// headers, a file swapped while confirming, a close during the wait, odd
// command lines. Each row is the smallest input that shows its case.
#include "Driver.h"

#include <fstream>
#include <iterator>

using namespace ravlin;

namespace e2e {
namespace {

// Classes the scenarios plant: this, with a last digit of their own.
const char kTestClass[] = "Software\\Classes\\CLSID\\{7A3B1C55-0D2E-4F61-9A8B-25C0FFEE002";

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

uint32_t Get32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 4; i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
  return value;
}

void Put32(std::string& bytes, size_t at, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<char>(value >> (8 * i) & 0xFF);
}

// Where data directory `index` of a library's headers stands in its bytes.
size_t DirectoryEntry(const std::string& bytes, uint32_t index) {
  const size_t optional = Get32(bytes, 0x3C) + 24;
  return optional + (bytes.at(optional + 1) == 2 ? 112 : 96) + 8 * index;
}

// The file offset of an address in the library's image.
size_t FileOffsetOf(const std::string& bytes, uint32_t rva) {
  const size_t pe = Get32(bytes, 0x3C);
  const size_t sections = pe + 24 + (Get32(bytes, pe + 20) & 0xFFFF);
  for (size_t i = 0; i < (Get32(bytes, pe + 6) & 0xFFFF); ++i) {
    const size_t section = sections + 40 * i;
    const uint32_t address = Get32(bytes, section + 12), size = Get32(bytes, section + 16);
    if (rva >= address && rva - address < size) return Get32(bytes, section + 20) + (rva - address);
  }
  return bytes.size();
}

// A copy of the plain test control, changed by patch, in the driver's folder.
std::string PatchedControl(const std::string& name, void (*patch)(std::string&)) {
  std::string bytes = ReadAll(FixturePath("server.ocx"));
  patch(bytes);
  const std::string path = DriverDir() + "\\hostile-" + name;
  Check(WriteAll(path, bytes), "writing " + name);
  return path;
}

// A class of the user's whose server is value; removed when it goes.
class PlantedClass {
 public:
  explicit PlantedClass(const std::string& value, char digit = '0') : class_(kTestClass + std::string(1, digit) + "}") {
    HKEY key = nullptr;
    const std::string path = class_ + "\\InprocServer32";
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
      return;
    RegSetValueExA(key, nullptr, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
  }
  ~PlantedClass() {
    DeleteRegistryKey(class_ + "\\InprocServer32");
    DeleteRegistryKey(class_);
  }
  PlantedClass(const PlantedClass&) = delete;
  PlantedClass& operator=(const PlantedClass&) = delete;

 private:
  std::string class_;
};

// The window answers Register with the file's state in time.
void ConfirmsInTime(Session& s, const std::string& file, const std::string& what) {
  s.SetText(IdText1, file);
  s.Click(IdCmdRegister);
  Check(s.WaitVisible(IdCmdProceed, true, 8000), what + ": confirming in time");
  Check(s.Responds(), what + ": the window answers");
}

void OversizedValue() {
  const PlantedClass planted(std::string(33000, 'a') + "%SystemRoot%.ocx");
  Session s;
  s.StartIdle();
  ConfirmsInTime(s, FixturePath("versioned.ocx"), "a 33,000-character value");
  CheckEq(s.Text(IdLblState), "Not registered.", "the value is skipped, the rest read");
}

// Data directory 14 pointing outside the file does not make a .NET assembly.
void DamagedRuntimeDirectory() {
  const std::string file = PatchedControl("runtime.ocx", [](std::string& bytes) {
    Put32(bytes, DirectoryEntry(bytes, 14), 0x7FFFFFF0);
    Put32(bytes, DirectoryEntry(bytes, 14) + 4, 0x48);
  });
  Session s;
  s.StartIdle();
  s.SetText(IdText1, file);
  CheckEq(FirstLine(s.RunRegistration(IdCmdRegister).outcome), "Process completed", "registered as a control");
  DeleteRegistryKey("Software\\RavlinFixtures\\server");
  DeleteFileA(file.c_str());
}

// An export table whose arrays point outside the image is never looked up.
void DamagedExportTable() {
  const std::string file = PatchedControl("exports.ocx", [](std::string& bytes) {
    const size_t directory = FileOffsetOf(bytes, Get32(bytes, DirectoryEntry(bytes, 0)));
    Put32(bytes, directory + 28, 0x7FFFFFF0);  // the addresses
    Put32(bytes, directory + 32, 0x7FFFFFF0);  // the names
  });
  Session s;
  s.StartIdle();
  s.SetText(IdText1, file);
  CheckEq(s.RunRegistration(IdCmdRegister).outcome,
          "Failure loading control DLL\r\n\r\nThe file's export table is damaged: it points outside the library, "
          "so no export can be looked up.",
          "refused");
  Check(s.Responds(), "the program goes on");
  Check(!RegistryKeyExists("Software\\RavlinFixtures\\server"), "nothing ran");
  DeleteFileA(file.c_str());
}

// Each way of closing the window, during a slow control's wait, ends the program at once.
void CloseDuringTheWait() {
  struct Close {
    const char* what;
    UINT message;
    WPARAM wParam;
  };
  const Close closes[] = {{"WM_CLOSE", WM_CLOSE, 0},
                          {"the caption button's command", WM_SYSCOMMAND, SC_CLOSE},
                          {"Alt+F4", WM_SYSKEYDOWN, VK_F4}};
  for (const Close& close : closes) {
    Session s;
    s.StartIdle();
    s.SetText(IdText1, FixturePath("slow.ocx"));
    s.Click(IdCmdRegister);
    if (!Check(s.WaitVisible(IdCmdProceed), "confirming")) return;
    s.Click(IdCmdProceed);
    HWND question = s.WaitNewBox();
    if (!Check(question != nullptr, "the question")) return;
    Session::PressOk(question);
    Sleep(1000);  // the worker is in its wait now
    PostMessageA(s.Main(), close.message, close.wParam, close.message == WM_SYSKEYDOWN ? 1 << 29 : 0);
    Check(s.WaitExit(3000), std::string(close.what) + " ends the program during the wait");
  }
  DeleteRegistryKey("Software\\RavlinFixtures\\slow");
}

// Another spelling of the file is the file; copies differing in case are one.
void SpellingsOfOneFile() {
  const std::string fixtures = FixturePath("");
  const PlantedClass spelled("\\\\?\\" + fixtures + "sub\\..\\.\\\\versioned.ocx.", '1');
  const PlantedClass upper("C:\\RAVLIN-GONE\\VERSIONED.OCX", '2');
  const PlantedClass lower("c:\\ravlin-gone\\versioned.ocx", '3');
  Session s;
  s.StartIdle();
  ConfirmsInTime(s, FixturePath("versioned.ocx"), "spellings");
  CheckEq(s.Text(IdLblState),
          "Registered now: 1 class, to this file. Registered to another copy: C:\\RAVLIN-GONE\\VERSIONED.OCX "
          "(that file is missing).",
          "one file, one copy");
}

// The user's classes, made unreadable for as long as the object lives; their
// own security comes back when it goes.
class UnreadableClasses {
 public:
  UnreadableClasses() {
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Classes\\CLSID", 0, READ_CONTROL | WRITE_DAC,
                      &key_) != ERROR_SUCCESS)
      return;
    DWORD size = sizeof(saved_);
    if (RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_, &size) != ERROR_SUCCESS) return;
    SECURITY_DESCRIPTOR none;
    ACL empty;
    InitializeSecurityDescriptor(&none, SECURITY_DESCRIPTOR_REVISION);
    InitializeAcl(&empty, sizeof(empty), ACL_REVISION);
    SetSecurityDescriptorDacl(&none, TRUE, &empty, FALSE);  // no entry: nobody may read
    denied_ = RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, &none) == ERROR_SUCCESS;
  }
  ~UnreadableClasses() {
    if (denied_) RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_);
    if (key_) RegCloseKey(key_);
  }
  UnreadableClasses(const UnreadableClasses&) = delete;
  UnreadableClasses& operator=(const UnreadableClasses&) = delete;
  bool denied() const { return denied_; }

 private:
  HKEY key_ = nullptr;
  alignas(void*) BYTE saved_[4096] = {};
  bool denied_ = false;
};

// A scan the registry refuses says so, rather than nothing or "Not registered.".
void UnreadableState() {
  const UnreadableClasses unreadable;
  if (!Check(unreadable.denied(), "the user's classes made unreadable")) return;
  Session s;
  s.StartIdle();
  ConfirmsInTime(s, FixturePath("versioned.ocx"), "an unreadable registry");
  const std::string state = s.Text(IdLblState);
  Check(!state.empty() && state != "Not registered.", "says it could not be read: [" + state + "]");
}

// A path too long for a label is shown with its middle left out.
void LongPath() {
  const PlantedClass copy("C:\\ravlin-far\\" + std::string(300, 'd') + "\\versioned.ocx", '4');
  Session s;
  s.StartIdle();
  ConfirmsInTime(s, FixturePath("versioned.ocx"), "a long path");
  CheckEq(s.Text(IdLblState),
          "Registered to another copy: C:\\ravlin-far\\...\\versioned.ocx (that file is missing).", "elided");
}

// A file replaced between Register and Proceed does not run: what it is now is shown again.
void SwappedWhileConfirming() {
  const std::string file = DriverDir() + "\\hostile-swap.ocx";
  if (!Check(CopyFileA(FixturePath("versioned.ocx").c_str(), file.c_str(), FALSE), "the control copied")) return;
  Session s;
  s.StartIdle();
  s.SetText(IdText1, file);
  s.Click(IdCmdRegister);
  if (!Check(s.WaitVisible(IdCmdProceed), "confirming")) return;
  CheckEq(s.Text(IdLblFileInfo), kVersionedSummary, "the confirmed summary");
  Check(CopyFileA(FixturePath("server.ocx").c_str(), file.c_str(), FALSE), "the file swapped");
  s.Click(IdCmdProceed);
  CheckEq(s.TakeBox(), "WWW", "the question");
  CheckEq(s.TakeBox(),
          "The file has changed since it was confirmed: nothing was run.\r\n\r\n"
          "What it is now is shown: check it, then press Proceed again or Cancel.",
          "told");
  CheckEq(s.Text(IdLblFileInfo), "(No Product Version available for this file)", "the new summary");
  Check(s.Confirming(), "confirming again");
  Check(!RegistryKeyExists("Software\\RavlinFixtures\\server") && !RegistryKeyExists(kVersionedKey),
        "nothing ran");
  s.Click(IdCmdCancel);
  Check(WaitFor([&] { return s.Idle(); }, 3000), "idle after Cancel");
  s.Click(IdCmdExit);
  s.WaitExit();
  DeleteFileA(file.c_str());
}

// Whatever the command line names goes into the text box, and Register says what is wrong with it.
void CommandLines() {
  struct Case {
    std::string arguments, text, line, registerSays;
  };
  const std::string versioned = FixturePath("versioned.ocx");
  const Case cases[] = {
      {"C:\\ravlin-none\\gone.ocx", "C:\\ravlin-none\\gone.ocx", "", "File not found"},
      {"\"" + DriverDir() + "\"", DriverDir(), "", "File not found"},
      {"\"", "\"", "", "File not found"},
      {"\"" + versioned + "\" \"" + FixturePath("server.ocx") + "\" other.ocx", versioned,
       "3 files were named; the first is in the box above.", ""},
  };
  for (const Case& c : cases) {
    Session s(c.arguments);
    s.StartIdle();
    CheckEq(s.Text(IdText1), c.text, "[" + c.arguments + "] in the text box");
    CheckEq(s.Text(IdLblArguments), c.line, "[" + c.arguments + "]: the line under it");
    if (c.registerSays.empty()) continue;
    s.Click(IdCmdRegister);
    CheckEq(s.TakeBox(), c.registerSays, "[" + c.arguments + "]: Register");
  }
}

struct Row {
  const char* name;
  void (*run)();
};

SCENARIO(HostileInputIsBoundedRefusedOrTold) {
  const Row rows[] = {
      {"an oversized registry value", &OversizedValue},
      {"a .NET directory outside the file", &DamagedRuntimeDirectory},
      {"an export table pointing outside the image", &DamagedExportTable},
      {"a close during the wait", &CloseDuringTheWait},
      {"spellings of one file", &SpellingsOfOneFile},
      {"a registry that refuses the read", &UnreadableState},
      {"a long path", &LongPath},
      {"a file swapped while confirming", &SwappedWhileConfirming},
      {"the command line", &CommandLines},
  };
  for (const Row& row : rows) {
    std::printf("  %s\n", row.name);
    row.run();
  }
}

}  // namespace
}  // namespace e2e
