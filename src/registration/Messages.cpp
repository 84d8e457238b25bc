// What the engine tells the user, beyond the fixed one-line messages.
#include <algorithm>
#include <string>

#include "platform/Text.h"
#include "registration/Engine.h"

namespace ravlin {
namespace {

// What registration returns most, for a system that has no words for it (Wine has none for most).
const char* WellKnownText(uint32_t code) {
  switch (code) {
    case 0x80004005: return "Unspecified error";                                 // E_FAIL
    case 0x8007000E: return "Not enough memory resources are available to complete this operation.";
    case 0x8000FFFF: return "Catastrophic failure";                              // E_UNEXPECTED
    case 0x8002801C: return "Error accessing the OLE registry.";                 // TYPE_E_REGISTRYACCESS
    case 0x80029C4A: return "Error loading type library/DLL.";                   // TYPE_E_CANTLOADLIBRARY
    case 0x8002801D: return "Library not registered.";                           // TYPE_E_LIBNOTREGISTERED
    case 0x800401F0: return "CoInitialize has not been called.";                 // CO_E_NOTINITIALIZED
    case 0x80040151: return "Could not write key to registry.";                  // REGDB_E_WRITEREGDB
    case 0x80040154: return "Class not registered.";                             // REGDB_E_CLASSNOTREG
    case 0x80040200: return "The server could not register its type library.";  // SELFREG_E_TYPELIB
    case 0x80040201: return "The server could not register its classes.";       // SELFREG_E_CLASS
    default: return nullptr;
  }
}

// Codes that say the registry refused the write.
bool RefusedAccess(uint32_t code) {
  return code == 0x80070005 || code == 0x8002801C || code == 0x80040151;
}

const char* ExceptionName(uint32_t code) {
  switch (code) {
    case 0xC0000005: return "access violation";
    case 0xC0000094: return "integer division by zero";
    case 0xC00000FD: return "stack overflow";
    case 0xC000001D: return "illegal instruction";
    case 0xC0000096: return "privileged instruction";
    case 0x80000003: return "breakpoint";
    case 0xC0000374: return "heap corruption";
    case 0xC0000409: return "stack buffer overrun";
    case 0xE06D7363: return "C++ exception";
    default: return nullptr;
  }
}

}  // namespace

std::string SystemDescription(Platform& platform, uint32_t code) {
  char buffer[1024] = {};
  uint32_t length = 0;
  ResumeNext([&] {
    length = platform.FormatMessageA(kFormatMessageFromSystem | kFormatMessageIgnoreInserts, nullptr,
                                     code, 0, buffer, sizeof(buffer), nullptr);
  });
  std::string text(buffer, std::min<size_t>(length, sizeof(buffer)));
  const size_t end = text.find_last_not_of("\r\n ");
  text.erase(end == std::string::npos ? 0 : end + 1);
  return text;
}

std::string FailureText(Platform& platform, uint32_t code) {
  std::string text = "Process failed with error code 0x" + Hex(code, 8);
  std::string description = SystemDescription(platform, code);
  if (description.empty() && WellKnownText(code)) description = WellKnownText(code);
  if (!description.empty()) text += "\r\n" + description;
  if (RefusedAccess(code)) {
    bool admin = true;  // no advice when the test cannot tell
    ResumeNext([&] { admin = (platform.IsUserAnAdmin() & 0xFFFF) != 0; });
    if (!admin)
      text += "\r\n\r\nRegistering a control usually needs administrator rights: close this program, "
              "start it with 'Run as administrator' and try again.";
  }
  return text;
}

std::string TimeOutText() {
  return "Process failed in signaled state or time-out.\r\n"
         "The control is still running and may yet finish its work.";
}

std::string CrashText(const std::string& exportName, const CrashRecord& crash) {
  std::string where = crash.module.empty() ? "0x" + Hex(crash.address, 8)
                                           : crash.module + "+0x" + Hex(crash.offset, 1);
  const char* name = ExceptionName(crash.code);
  return "Process failed: the control crashed in " + exportName + " (exception 0x" + Hex(crash.code, 8) +
         ", " + (name ? std::string(name) + " " : std::string()) + "at " + where + ").";
}

std::string ToolOutcome(uint32_t exitCode) {
  switch (exitCode) {
    case 0: return "Process completed";
    case kToolLoadFailed: return "Failure loading control DLL";
    case 4: return "Process failed in obtaining entry point or creating thread.";
    case 5: return "Process failed: the control's own registration reported an error.";
    default:
      return "Process failed: the registration tool ended with code " + std::to_string(exitCode) + ".";
  }
}

}  // namespace ravlin
