// Input a hostile user or file can give, one row per case, each the smallest
// input that shows it: planted registry values, patched copies of a test
// control, a close during the wait, a file swapped while confirming, command lines.
#include "Driver.h"

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>

using namespace ravlin;

namespace e2e {
namespace {

// A class of the user's whose server is value, gone with the object.
struct PlantedClass {
  PlantedClass(const std::string& value, char digit)
      : key(std::string("Software\\Classes\\CLSID\\{7A3B1C55-0D2E-4F61-9A8B-25C0FFEE002") + digit + "}") {
    RegSetKeyValueA(HKEY_CURRENT_USER, (key + "\\InprocServer32").c_str(), nullptr, REG_SZ, value.c_str(),
                    static_cast<DWORD>(value.size() + 1));
  }
  ~PlantedClass() { DeleteRegistryKey(key + "\\InprocServer32"); DeleteRegistryKey(key); }
  std::string key;
};

// The user's classes unreadable while the object lives (a DACL without entries), then as they were.
struct UnreadableClasses {
  UnreadableClasses() {
    SECURITY_DESCRIPTOR none;
    InitializeSecurityDescriptor(&none, SECURITY_DESCRIPTOR_REVISION);
    InitializeAcl(&empty, sizeof(empty), ACL_REVISION);
    SetSecurityDescriptorDacl(&none, TRUE, &empty, FALSE);
    denied = RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Classes\\CLSID", 0, READ_CONTROL | WRITE_DAC, &key) == 0 &&
             RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, saved, &size) == 0 &&
             RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &none) == 0;
  }
  ~UnreadableClasses() {
    if (denied) RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, saved);
    RegCloseKey(key);
  }
  HKEY key = nullptr;
  ACL empty;
  alignas(void*) BYTE saved[4096] = {};
  DWORD size = sizeof(saved);
  bool denied = false;
};

uint32_t Get32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  std::memcpy(&value, bytes.substr(at, 4).c_str(), 4);  // little-endian, as the file
  return value;
}
void Put32(std::string& bytes, size_t at, uint32_t value) { bytes.replace(at, 4, reinterpret_cast<char*>(&value), 4); }

// Where data directory `index` stands in a library's bytes, and the file offset of an address in its image.
size_t DirectoryEntry(const std::string& bytes, uint32_t index) {
  const size_t optional = Get32(bytes, 0x3C) + 24;
  return optional + (bytes.at(optional + 1) == 2 ? 112 : 96) + 8 * index;
}
size_t FileOffsetOf(const std::string& bytes, uint32_t rva) {
  const size_t pe = Get32(bytes, 0x3C), sections = pe + 24 + (Get32(bytes, pe + 20) & 0xFFFF);
  for (size_t s = sections; s < sections + 40 * (Get32(bytes, pe + 6) & 0xFFFF); s += 40)
    if (rva >= Get32(bytes, s + 12) && rva - Get32(bytes, s + 12) < Get32(bytes, s + 16))
      return Get32(bytes, s + 20) + rva - Get32(bytes, s + 12);
  return bytes.size();
}

// Register pressed on file in a new session, which must confirm in time.
void Confirming(Session& s, const std::string& file) {
  s.StartIdle();
  s.SetText(IdText1, file);
  s.Click(IdCmdRegister);
  Check(s.WaitVisible(IdCmdProceed, true, 8000), "confirming " + file.substr(0, 60) + " in time");
}

std::string StateLine(const std::string& file) {
  Session s;
  Confirming(s, file);
  return s.Text(IdLblState);
}

void Patched(const char* name, void (*patch)(std::string&), const std::string& outcome) {
  std::ifstream in(FixturePath("server.ocx"), std::ios::binary);
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  patch(bytes);
  const std::string file = DriverDir() + "\\hostile-" + name;
  std::ofstream(file, std::ios::binary) << bytes;
  Session s;
  s.StartIdle();
  s.SetText(IdText1, file);
  CheckEq(s.RunRegistration(IdCmdRegister).outcome.substr(0, outcome.size()), outcome, name);
  Check(s.Responds(), std::string(name) + ": the program goes on");
  DeleteRegistryKey("Software\\RavlinFixtures\\server");
  DeleteFileA(file.c_str());
}

void CloseDuringTheWait(UINT message, WPARAM wParam, const char* what) {
  Session s;
  Confirming(s, FixturePath("slow.ocx"));
  s.Click(IdCmdProceed);
  Session::PressOk(s.WaitNewBox());
  Sleep(1000);  // in the wait now
  PostMessageA(s.Main(), message, wParam, message == WM_SYSKEYDOWN ? 1 << 29 : 0);
  Check(s.WaitExit(3000), std::string(what) + " during the wait ends the program");
  DeleteRegistryKey("Software\\RavlinFixtures\\slow");
}

void SwappedWhileConfirming() {
  const std::string file = DriverDir() + "\\hostile-swap.ocx";
  CopyFileA(FixturePath("versioned.ocx").c_str(), file.c_str(), FALSE);
  Session s;
  Confirming(s, file);
  CopyFileA(FixturePath("server.ocx").c_str(), file.c_str(), FALSE);
  s.Click(IdCmdProceed);
  s.TakeBox();  // the question
  CheckEq(s.TakeBox(),
          "The file has changed since it was confirmed: nothing was run.\r\n\r\n"
          "What it is now is shown: check it, then press Proceed again or Cancel.",
          "a swapped file");
  CheckEq(s.Text(IdLblFileInfo), "(No Product Version available for this file)", "what it is now");
  Check(s.Confirming() && !RegistryKeyExists("Software\\RavlinFixtures\\server"), "confirming again, nothing ran");
  s.Click(IdCmdCancel);
  s.Click(IdCmdExit);
  Check(s.WaitExit(), "ended");  // the file is free
  DeleteFileA(file.c_str());
}

// The arguments; what the text box and the line under it then hold, and what Register says.
void CommandLine(const std::string& arguments, const std::string& text, const std::string& line) {
  Session s(arguments);
  s.StartIdle();
  CheckEq(s.Text(IdText1) + "|" + s.Text(IdLblArguments), text + "|" + line, "[" + arguments + "]");
  if (!line.empty()) return;
  s.Click(IdCmdRegister);
  CheckEq(s.TakeBox(), "File not found", "[" + arguments + "]: Register");
}

SCENARIO(HostileInputIsBoundedRefusedOrTold) {
  const std::string versioned = FixturePath("versioned.ocx");
  const std::function<void()> rows[] = {
      [&] {
        const PlantedClass oversized(std::string(33000, 'a') + "%SystemRoot%.ocx", '0');
        CheckEq(StateLine(versioned), "Not registered.", "an oversized value is skipped");
      },
      [] {
        Patched("runtime.ocx", [](std::string& b) {
          Put32(b, DirectoryEntry(b, 14), 0x7FFFFFF0);
          Put32(b, DirectoryEntry(b, 14) + 4, 0x48);
        }, "Process completed");
      },
      [] {
        Patched("exports.ocx", [](std::string& b) {
          const size_t directory = FileOffsetOf(b, Get32(b, DirectoryEntry(b, 0)));
          Put32(b, directory + 28, 0x7FFFFFF0);  // the addresses
          Put32(b, directory + 32, 0x7FFFFFF0);  // the names
        }, "Failure loading control DLL\r\n\r\nThe file's export table is damaged: it points outside the library, "
           "so no export can be looked up.");
      },
      [] { CloseDuringTheWait(WM_CLOSE, 0, "WM_CLOSE"); },
      [] { CloseDuringTheWait(WM_SYSCOMMAND, SC_CLOSE, "the caption button"); },
      [] { CloseDuringTheWait(WM_SYSKEYDOWN, VK_F4, "Alt+F4"); },
      [&] {
        const PlantedClass spelled("\\\\?\\" + FixturePath("") + "sub\\..\\.\\\\versioned.ocx.", '1');
        const PlantedClass upper("C:\\RAVLIN-GONE\\VERSIONED.OCX", '2'), lower("c:\\ravlin-gone\\versioned.ocx", '3');
        CheckEq(StateLine(versioned),
                "Registered now: 1 class, to this file. Registered to another copy: C:\\RAVLIN-GONE\\VERSIONED.OCX "
                "(that file is missing).",
                "one file, one name");
      },
      [&] {
        const PlantedClass distant("C:\\ravlin-far\\" + std::string(300, 'd') + "\\versioned.ocx", '4');
        CheckEq(StateLine(versioned),
                "Registered to another copy: C:\\ravlin-far\\...\\versioned.ocx (that file is missing).", "elided");
      },
      [&] {
        const UnreadableClasses unreadable;
        Check(unreadable.denied, "the user's classes made unreadable");
        CheckEq(StateLine(versioned), "The registration state could not be read: Access denied. (error 5)", "refused");
      },
      &SwappedWhileConfirming,
      [] { CommandLine("C:\\ravlin-none\\gone.ocx", "C:\\ravlin-none\\gone.ocx", ""); },
      [] { CommandLine("\"" + DriverDir() + "\"", DriverDir(), ""); },
      [] { CommandLine("\"", "\"", ""); },
      [&] {
        CommandLine("\"" + versioned + "\" \"" + FixturePath("server.ocx") + "\" other.ocx", versioned,
                    "3 files were named; the first is in the box above.");
      },
  };
  for (const std::function<void()>& row : rows) row();

}

}  // namespace
}  // namespace e2e
