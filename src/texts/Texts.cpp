#include "texts/Texts.h"

#include "platform/Text.h"
#include "texts/ShownPath.h"
#include "texts/StateTexts.h"

namespace ravlin {
namespace {

constexpr char kBreak[] = "\r\n";
constexpr char kParagraph[] = "\r\n\r\n";

std::string Paragraphs(const std::string& first, const std::string& reason) {
  return reason.empty() ? first : first + kParagraph + reason;
}

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
    case 0x80010106: return "Cannot change thread mode after it is set.";        // RPC_E_CHANGED_MODE
    default: return nullptr;
  }
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

std::string ExportFailedText(const Outcome& outcome) {
  std::string message = "Process failed with error code 0x" + Hex(outcome.code, 8);
  std::string description = outcome.codeDescription;
  if (description.empty() && WellKnownText(outcome.code)) description = WellKnownText(outcome.code);
  if (!description.empty()) message += kBreak + description;
  if (outcome.rightsAdvice)
    message += std::string(kParagraph) +
               "Registering a control usually needs administrator rights: close this program, "
               "start it with 'Run as administrator' and try again.";
  return message;
}


// MSVC's and GCC's exceptions are raised by a system library on the control's behalf.
bool IsCppException(uint32_t code) { return code == 0xE06D7363 || code == 0x20474343; }

std::string CrashedText(const Outcome& outcome) {
  const CrashRecord& crash = outcome.crash;
  if (IsCppException(crash.code))
    return std::string("Process failed: a C++ exception was thrown out of ") + ExportName(outcome.action) +
           " of " + FileNameOf(outcome.file) + " (exception 0x" + Hex(crash.code, 8) + ").";
  const std::string where = crash.module.empty() ? "0x" + Hex(crash.address, 8)
                                                 : crash.module + "+0x" + Hex(crash.offset, 1);
  const char* name = ExceptionName(crash.code);
  return std::string("Process failed: the control crashed in ") + ExportName(outcome.action) +
         " (exception 0x" + Hex(crash.code, 8) + ", " + (name ? std::string(name) + " " : std::string()) +
         "at " + where + ").";
}

// regsvr32's exit codes, in the program's own messages.
std::string HandedOverText(const Outcome& outcome) {
  switch (outcome.code) {
    case 0: return text::kCompleted;
    case kToolLoadFailed: return Paragraphs(text::kLoadFailed, ReasonFor(outcome.diagnosis));
    case 4: return text::kNoEntryPoint;
    case 5: return "Process failed: the control's own registration reported an error.";
    default:
      return "Process failed: the registration tool ended with code " + std::to_string(outcome.code) + ".";
  }
}

// What to do with a file that is no self-registering control.
std::string InsteadText(const Outcome& outcome) {
  const bool registering = outcome.action == Action::Register;
  const std::string file = "\"" + ShownPath(outcome.file) + "\"";
  switch (outcome.instead) {
    case Outcome::Instead::Unknown: return {};
    case Outcome::Instead::NoExport:
      return std::string("It has no ") + ExportName(outcome.action) + " export: it is not a self-registering control.";
    case Outcome::Instead::DllInstallOnly:
      return std::string("It has no ") + ExportName(outcome.action) + " export, but it has DllInstall: " +
             (registering ? "register it with regsvr32 /i /n " : "unregister it with regsvr32 /u /i /n ") + file + ".";
    case Outcome::Instead::DotNetAssembly:
      return std::string("It is a .NET assembly, not a self-registering control: ") +
             (registering ? "register it with RegAsm (regasm /codebase " : "unregister it with RegAsm (regasm /unregister ") +
             file + ") from the .NET Framework.";
    case Outcome::Instead::Program:
      return std::string("It is a program (EXE), not a library: ") +
             (registering ? "run it with /RegServer to register it." : "run it with /UnregServer to unregister it.");
  }
  return {};
}

// The outcome as if it had come in time.
std::string InTimeText(const Outcome& outcome) {
  switch (outcome.kind) {
    case Outcome::Kind::Completed: return text::kCompleted;
    case Outcome::Kind::ExportFailed: return ExportFailedText(outcome);
    case Outcome::Kind::NoEntryPoint: return Paragraphs(text::kNoEntryPoint, InsteadText(outcome));
    case Outcome::Kind::LoadFailed: return Paragraphs(text::kLoadFailed, ReasonFor(outcome.diagnosis));
    case Outcome::Kind::HandedOver: return HandedOverText(outcome);
    case Outcome::Kind::TimedOut:
      return std::string(text::kTimedOut) + kBreak + "The control is still running and may yet finish its work.";
    case Outcome::Kind::Crashed: return CrashedText(outcome);
    case Outcome::Kind::EndedThread:
      return std::string("Process failed: the control ended its thread without returning from ") +
             ExportName(outcome.action) + " (exit code " + std::to_string(outcome.code) + ").";
  }
  return text::kCompleted;
}

}  // namespace

std::string ReasonFor(const LoadDiagnosis& diagnosis) {
  switch (diagnosis.kind) {
    case LoadDiagnosis::Kind::Unexplained: return {};
    case LoadDiagnosis::Kind::NotALibrary: return "The file is not a program library.";
    case LoadDiagnosis::Kind::OtherProcessor:
      return "The file is a library for " + MachineName(diagnosis.machine) +
             " processors, which this program cannot load.";
    case LoadDiagnosis::Kind::MissingDependency: {
      if (diagnosis.chain.empty()) return {};
      std::string reason = "It needs " + diagnosis.chain.front();
      for (size_t i = 1; i < diagnosis.chain.size(); ++i) reason += ", which needs " + diagnosis.chain[i];
      return reason + ", which was not found beside it or in the system folders.";
    }
    case LoadDiagnosis::Kind::StartupRefused:
      return "The control's own start-up code (DllMain) refused to load (error " + std::to_string(diagnosis.error) +
             ").";
    case LoadDiagnosis::Kind::ExportsDamaged:
      return "The file's export table is damaged: it points outside the library, so no export can be looked up.";
    case LoadDiagnosis::Kind::LoaderError:
      return "Error " + std::to_string(diagnosis.error) +
             (diagnosis.description.empty() ? "." : ": " + diagnosis.description);
  }
  return {};
}

std::string CodeWords(uint32_t code, const std::string& systemWords) {
  if (!systemWords.empty()) return systemWords;
  return WellKnownText(code) ? WellKnownText(code) : "";
}

std::string MessageFor(const Outcome& outcome) {
  std::string message = InTimeText(outcome);
  if (outcome.after)
    message = Paragraphs(message, outcome.action == Action::Register ? AfterRegisteringText(*outcome.after, outcome.expectsClasses)
                                                                     : AfterUnregisteringText(*outcome.after));
  if (!outcome.late) return message;
  return ShownPath(outcome.file) + " has finished after the time limit:" + kParagraph + message;
}

std::string NamedFilesLine(size_t count) {
  if (count < 2) return {};
  return std::to_string(count) + " files were named; the first is in the box above.";
}

std::string FileInfoCaption(const VersionSummary& summary) {
  if (!summary.HasVersion()) return text::kNoVersion;
  return "Company Name:  " + summary.company + kBreak + "Product Version:  " + summary.version;
}

}  // namespace ravlin
