#pragma once
// What one registration or unregistration came to: a value the window presents.
#include <cstdint>
#include <optional>
#include <string>

#include "inspection/LoadDiagnosis.h"
#include "inspection/RegistrationState.h"
#include "platform/Owned.h"
#include "platform/Platform.h"

namespace ravlin {

enum class Action { Register, Unregister };

// The export an action runs.
const char* ExportName(Action action);
// The action a command text names: "" registers, "U" or "u" unregisters, anything else none.
std::optional<Action> ActionFor(const std::string& inCommand);

struct Outcome {
  enum class Kind {
    Completed,     // the export returned a success code, or its code could not be read
    ExportFailed,  // code: the export's failure code
    NoEntryPoint,  // the export is absent, or nothing could be started to run it
    LoadFailed,    // diagnosis: why the loader refused the file
    HandedOver,    // code: the exit code of the other architecture's registration tool
    TimedOut,      // still running at the limit; kept until it ends
    Crashed,       // crash: the fault that ended the worker
    EndedThread,   // code: the exit code of a worker the control ended from inside the export
  };
  // What a file without the export is instead of a self-registering control.
  enum class Instead {
    Unknown,         // nothing could be started to run it, or nothing is known
    NoExport,        // a library without the export
    DllInstallOnly,  // a library that registers through DllInstall
    DotNetAssembly,  // registered with RegAsm
    Program,         // an EXE server, which registers itself when run with /RegServer
  };
  Kind kind = Kind::Completed;
  Instead instead = Instead::Unknown;  // NoEntryPoint
  Action action = Action::Register;
  std::string file;   // the control, by its full path where it was found
  bool late = false;  // it ended after the limit, and after its time-out had been told
  uint32_t code = 0;
  std::string codeDescription;  // the system's words for code, "" if it has none
  bool rightsAdvice = false;    // the registry refused, and the user is no administrator
  LoadDiagnosis diagnosis;      // LoadFailed; HandedOver with the tool's load failure
  CrashRecord crash;
  std::optional<uint32_t> waitResult;  // the bounded wait's result, when it ran
  // What is registered to the file once the control said yes; none when it did not, or the file is unknown.
  std::optional<RegistrationState> after;
  // Whether the file was expected to register a class (its type library
  // declares a creatable one, or it is an .ocx); read only when after holds nothing.
  bool expectsClasses = true;
  // A library kept loaded until the outcome has been told, then released.
  OwnedLibrary library{nullptr, LibraryFreer{nullptr}};
};

constexpr uint32_t kWaitLimitMs = 10000;
constexpr uint32_t kToolLoadFailed = 3;  // regsvr32's exit code when it cannot load the file

}  // namespace ravlin
