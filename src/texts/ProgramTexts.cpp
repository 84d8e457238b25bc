#include "texts/ProgramTexts.h"

#include "platform/Text.h"
#include "texts/ShownPath.h"
#include "texts/Hints.h"
#include "texts/Texts.h"

namespace ravlin {
namespace {

// The watch's limit as a person reads it: "15 seconds".
std::string WatchSeconds() { return std::to_string(kTryWatchMs / 1000) + " seconds"; }

constexpr char kBreak[] = "\r\n";

std::string FirstLine(const std::string& text) { return text.substr(0, text.find(kBreak)); }

// Where a control not registered to an existing file was found: it is looked for in these two only.
std::string FoundWhere(const ProgramState& program, const ControlState& control) {
  if (!control.foundIn.empty()) return "found in " + control.foundIn;
  return IsIn(control.foundAt, program.folder) ? "found beside the program" : "found in the system folder";
}

std::string NeverAControlWords(NeverAControl never) {
  switch (never) {
    case NeverAControl::TheProgram: return "the program itself";
    case NeverAControl::System: return "part of the system";
    case NeverAControl::VisualBasicRuntime: return "the Visual Basic runtime";
    case NeverAControl::NotAControlFile:
    case NeverAControl::No: break;
  }
  return "not a control file";
}

// The state without the file's name: "registered, C:\...".
std::string StateWords(const ProgramState& program, const ControlState& control) {
  switch (control.kind) {
    case ControlState::Kind::Registered: return "registered, " + ShownPath(control.registeredTo);
    case ControlState::Kind::MissingCopy:
      return "registered to a missing copy, " + ShownPath(control.registeredTo) +
             (control.foundAt.empty() ? "" : "; " + FoundWhere(program, control));
    case ControlState::Kind::Found: return "not registered, " + FoundWhere(program, control);
    case ControlState::Kind::NotAControl: return NeverAControlWords(control.never);
    case ControlState::Kind::NotFound: break;
  }
  return "not found; " + MissingControlHint(control.control.file, program.underWine);
}

// The same control in the state read after the run; the one before when it is gone from the list.
const ControlState& After(const ProgramRun& run, const ControlState& before) {
  for (const ControlState& after : run.after.controls)
    if (after.control.file == before.control.file) return after;
  return before;
}

// "Registered 2 of 3 controls.", or that the run had nothing to do.
std::string Summary(bool registering, size_t completed, size_t acted) {
  if (acted == 0) return registering ? "Nothing to register." : "Nothing to unregister.";
  return std::string(registering ? "Registered " : "Unregistered ") + std::to_string(completed) + " of " +
         std::to_string(acted) + (acted == 1 ? " control." : " controls.");
}

std::string Folders(const ProgramState& program) {
  return program.folder + " and " + program.systemFolder;
}

}  // namespace

// A path too long for the window's width keeps its drive, first folder and name.
std::string ControlLine(const ProgramState& program, const ControlState& control) {
  return ShownPath(control.control.file) + ": " + StateWords(program, control);
}

std::string ControlList(const ProgramState& program) {
  std::string text = RuntimeLine(program.runtime, program.underWine);
  for (const ControlState& control : program.controls)
    text += (text.empty() ? "" : kBreak) + ControlLine(program, control);
  return text;
}

std::string ProgressText(size_t position, size_t count, const std::string& file) {
  return std::to_string(position) + " of " + std::to_string(count) + ": " + file;
}

std::string ProgramRunMessage(const ProgramRun& run) {
  const bool registering = run.action == Action::Register;
  size_t acted = 0, completed = 0;
  std::string lines, kept, missing;
  for (const ControlRun& control : run.controls) {
    const ControlState& before = control.before;
    if (control.outcome) {
      ++acted;
      const std::string first = FirstLine(MessageFor(*control.outcome));
      if (first == text::kCompleted) ++completed;
      lines += kBreak + before.control.file + ": " + first + kBreak + "    now " +
               StateWords(run.after, After(run, before));
    } else if (control.changed) {
      lines += kBreak + before.control.file + ": " + text::kControlChanged;
    } else if (before.kind == ControlState::Kind::NotFound) {
      missing += (missing.empty() ? "" : ", ") + before.control.file;
    } else if (!registering && before.kind == ControlState::Kind::Registered) {
      kept += (kept.empty() ? "" : ", ") + before.control.file;
    } else {
      lines += kBreak + ControlLine(run.after, before);
    }
  }
  std::string message = Summary(registering, completed, acted);
  if (!lines.empty()) message += kBreak + lines;
  if (!kept.empty()) message += std::string(kBreak) + kBreak + "Kept, shared with other programs: " + kept + ".";
  if (!missing.empty())
    message += std::string(kBreak) + kBreak + "Not found: " + missing + " (looked in " + Folders(run.after) + ").";
  return message;
}

std::string WithTryItOffer(const std::string& message) {
  return message + kBreak + kBreak + text::kTryItOffer;
}

std::string TryMessage(const TryOutcome& outcome) {
  using K = TryOutcome::Kind;
  switch (outcome.kind) {
    case K::NotStarted:
      return "The program could not be started: " +
             (outcome.text.empty() ? std::string() : outcome.text + " ") + "(error " + std::to_string(outcome.code) +
             ").";
    case K::RegistrationError:
      return "It started and showed Visual Basic's registration error:" + std::string(kBreak) + outcome.text;
    case K::ShowsMessage: return "It started and shows a message:" + std::string(kBreak) + outcome.text;
    case K::OpenedWindow: return "It started and opened its window.";
    case K::Ended:
      // An exception's code or an error status reads better in hexadecimal.
      return "It ended with exit code " +
             (outcome.code > 0xFFFF ? "0x" + Hex(outcome.code, 8) : std::to_string(outcome.code)) + ".";
    case K::NoWindow: break;
    case K::Unwatched: return "It started, but it could not be watched.";
  }
  return "It is still running after " + WatchSeconds() + " and has not opened a window.";
}

std::string TryingText() { return "Trying the program: watching its windows for up to " + WatchSeconds() + "..."; }

}  // namespace ravlin
