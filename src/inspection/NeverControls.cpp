#include "inspection/NeverControls.h"

#include "platform/Text.h"

namespace ravlin {
namespace {

// Libraries Windows loads only from its own folder (its known DLLs) and
// others every Windows ships: none is a program's control, and a copy beside
// a program would pin an old system file to it.
constexpr const char* kSystemLibraries[] = {
    "advapi32.dll", "bcrypt.dll",   "clbcatq.dll",  "combase.dll",  "comctl32.dll", "comdlg32.dll",
    "coml2.dll",    "crypt32.dll",  "difxapi.dll",  "gdi32.dll",    "gdiplus.dll",  "imagehlp.dll",
    "imm32.dll",    "kernel32.dll", "kernelbase.dll", "mpr.dll",    "msctf.dll",    "msvcrt.dll",
    "netapi32.dll", "normaliz.dll", "nsi.dll",      "ntdll.dll",    "ole32.dll",    "oleaut32.dll",
    "oledlg.dll",   "olepro32.dll", "psapi.dll",    "rpcrt4.dll",   "sechost.dll",  "setupapi.dll",
    "shcore.dll",   "shell32.dll",  "shlwapi.dll",  "urlmon.dll",   "user32.dll",   "uxtheme.dll",
    "version.dll",  "wininet.dll",  "winmm.dll",    "winspool.drv", "wldap32.dll",  "ws2_32.dll",
    "wsock32.dll",
    // Installed by old setups beside OLEAUT32.DLL; the system's own as well.
    "asycfilt.dll", "comcat.dll",
};
constexpr const char* kVisualBasicRuntimes[] = {"msvbvm60.dll", "msvbvm50.dll"};
constexpr const char* kDevices[] = {"con", "nul", "aux", "prn", "conin$", "conout$"};

template <size_t N>
bool Listed(const char* const (&names)[N], const std::string& name) {
  for (const char* listed : names)
    if (name == listed) return true;
  return false;
}

// The name as the system opens it: lower case, trailing periods and spaces gone.
std::string OpenedAs(const std::string& fileName) {
  std::string name = Lower(FileNameOf(fileName));
  const size_t end = name.find_last_not_of(". ");
  return end == std::string::npos ? std::string() : name.substr(0, end + 1);
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

bool IsDeviceName(const std::string& fileName) {
  std::string base = OpenedAs(fileName);
  base = base.substr(0, base.find_first_of(".:"));
  base.erase(base.find_last_not_of(' ') + 1);
  if (Listed(kDevices, base)) return true;
  const std::string port = base.substr(0, 3), number = base.size() > 3 ? base.substr(3) : std::string();
  if (port != "com" && port != "lpt") return false;
  // 1 to 9, or the superscript digits that newer Windows takes as ports too.
  return (number.size() == 1 && number[0] >= '1' && number[0] <= '9') || number == "\xC2\xB9" ||
         number == "\xC2\xB2" || number == "\xC2\xB3";
}

NeverAControl NeverAControlFor(const std::string& fileName, const std::string& programName) {
  const std::string name = OpenedAs(fileName);
  if (!programName.empty() && name == OpenedAs(programName)) return NeverAControl::TheProgram;
  if (Listed(kVisualBasicRuntimes, name)) return NeverAControl::VisualBasicRuntime;
  if (Listed(kSystemLibraries, name)) return NeverAControl::System;
  if (EndsWith(name, ".tlb") || EndsWith(name, ".olb") || IsDeviceName(name)) return NeverAControl::NotAControlFile;
  return NeverAControl::No;
}

}  // namespace ravlin
