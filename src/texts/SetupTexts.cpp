#include "texts/SetupTexts.h"

#include "platform/Text.h"
#include "texts/ShownPath.h"
#include "texts/Texts.h"

namespace ravlin {
namespace {

constexpr char kBreak[] = "\r\n";
using Why = PlannedFile::Why;

std::string Number(size_t number) { return std::to_string(number); }

std::string FirstLine(const std::string& text) { return text.substr(0, text.find(kBreak)); }

std::string RegistrationWords(SetupRegistration registration) {
  switch (registration) {
    case SetupRegistration::DllSelfRegister: return "register it";
    case SetupRegistration::ExeSelfRegister: return "run it with /RegServer";
    case SetupRegistration::TlbRegister: return "register its type library";
    case SetupRegistration::Remote:
      return "$(Remote) not done: it registers a server on another machine, which Windows no longer offers";
    case SetupRegistration::VblRegister:
      return "$(VBLRegister) not done: a licence for building programs with the control, which running one never needs";
    case SetupRegistration::None: break;
  }
  return {};
}

// A line kept, or replaced at the user's asking; the package's newer one with both versions.
std::string KeptWords(const PlannedFile& planned) {
  const char* done = "kept:";
  const char* why = ", which is not replaced";
  switch (planned.why) {
    case Why::SystemOwn: return "kept: the system's own";
    case Why::RuntimeThere: return "kept: the Visual Basic runtime is there";
    case Why::SameOrNewer: return "kept: the one there is as new (" + planned.presentVersion + ")";
    case Why::PackageNewer: break;
    case Why::SystemProtects: why = ", but Windows protects it"; break;
    case Why::Replaces:
      done = "replaced:";
      why = ", which is kept in ";
      break;
    default: return "kept: a file of that name is already in " + ShownPath(FolderOf(planned.target)) + ", not replaced";
  }
  std::string words = done;
  words += " the package's ";
  words += planned.file.version;
  words += " is newer than ";
  words += planned.presentVersion;
  words += " there";
  words += why;
  if (planned.why == Why::Replaces) words += ShownPath(FolderOf(planned.backup));
  return words;
}

std::string PassedWords(const PlannedFile& planned) {
  switch (planned.why) {
    case Why::SystemOwnAbsent: return "not installed: a file of the system's own, never written";
    case Why::SetupOwn: return "not needed: a file of the setup program's own";
    case Why::NamedTwice: return "named again; line " + Number(planned.file.firstLine) + " does it";
    case Why::Compressed:
      return "beside SETUP.LST only as " + planned.file.besideName + ", packed by compress.exe, and damaged";
    default: break;
  }
  return "in no cabinet and not beside SETUP.LST";
}

std::string ProblemWords(SetupLineProblem::Why why) {
  using W = SetupLineProblem::Why;
  switch (why) {
    case W::NotALine: return "not a line of a setup list";
    case W::Fields: return "not the fields of a file's line";
    case W::Name: return "not the name of one file";
    case W::UnknownFolder: return "a folder macro this program does not know";
    case W::OutsideFolders: return "refused: a destination outside the setup's folders";
    case W::UnknownRegistration: return "a registration this program does not know";
  }
  return {};
}

std::string FolderLine(const char* what, const std::vector<std::string>& cabinets) {
  std::string line;
  for (const std::string& cabinet : cabinets) line += kBreak + cabinet + ": " + what;
  return line;
}

// A registration that said yes: the control's Completed, or its tool's exit code 0.
bool Succeeded(const std::optional<Outcome>& outcome, const std::optional<int32_t>& typeLibrary) {
  if (typeLibrary) return *typeLibrary >= 0;
  return outcome && (outcome->kind == Outcome::Kind::Completed ||
                     (outcome->kind == Outcome::Kind::HandedOver && outcome->code == 0));
}

std::string FailureWords(const std::optional<Outcome>& outcome, const std::optional<int32_t>& typeLibrary,
                         SetupRegistration registration) {
  if (typeLibrary) return "the system did not take its type library (" + Hex(static_cast<uint32_t>(*typeLibrary), 8) + ")";
  if (!outcome) return {};
  if (registration == SetupRegistration::ExeSelfRegister) {
    if (outcome->kind == Outcome::Kind::TimedOut) return "still running after 10 seconds";
    if (outcome->kind == Outcome::Kind::NoEntryPoint) return "it could not be started";
    return "it ended with code " + Number(outcome->code);
  }
  return FirstLine(MessageFor(*outcome));
}

std::string Counted(size_t count, const char* one, const char* many) {
  return Number(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string PreparedProblem(const PreparedSetup& prepared) {
  switch (prepared.why) {
    case PreparedSetup::Why::NotASetup:
    case PreparedSetup::Why::Ready: return {};
    case PreparedSetup::Why::NoList: return "SETUP.LST cannot be read: it is no setup list.";
    case PreparedSetup::Why::Unreadable: return "SETUP.LST names no file that can be read: there is nothing to install.";
    case PreparedSetup::Why::NoProgramFolder:
      return "SETUP.LST names no folder for the program: name one (on the command line, /to FOLDER).";
  }
  return {};
}

std::string PlanLine(const PlannedFile& planned) {
  const std::string registration = RegistrationWords(planned.file.registration);
  std::string line = planned.file.name + ": ";
  if (planned.step == PlannedFile::Step::Pass) return line + PassedWords(planned);
  line += planned.step == PlannedFile::Step::Install && planned.why != Why::Replaces
              ? "install into " + ShownPath(FolderOf(planned.target))
              : KeptWords(planned);
  if (planned.registers) return line + ", then " + registration;
  const bool notDone = planned.file.registration == SetupRegistration::Remote ||
                       planned.file.registration == SetupRegistration::VblRegister;
  return notDone ? line + "; " + registration : line;
}

std::string PlanText(const SetupPlan& plan) {
  std::string text = "Setup of " + (plan.title.empty() ? FileNameOf(plan.program) : plan.title) + " into " +
                     ShownPath(plan.folders.program);
  for (const PlannedFile& planned : plan.files) text += kBreak + PlanLine(planned);
  for (const SetupLineProblem& problem : plan.problems)
    text += kBreak + ("Line " + Number(problem.line) + ": " + ProblemWords(problem.why) + ": " + problem.text);
  text += FolderLine("damaged, or no cabinet", plan.sources.damaged);
  text += FolderLine("named by SETUP.LST, not in the folder", plan.sources.absent);
  return text;
}

std::string SetupRunMessage(const SetupRun& run) {
  switch (run.why) {
    case SetupRun::Why::Installed: break;
    case SetupRun::Why::AlreadyInstalled:
      return "Nothing was installed: it is installed already, as " + ShownPath(run.record) +
             " says. Unregister on the setup folder undoes that first.";
    case SetupRun::Why::FolderNotMade:
    case SetupRun::Why::CopyFailed:
    case SetupRun::Why::RecordNotWritten:
      return std::string("Nothing was installed: ") +
             (run.why == SetupRun::Why::FolderNotMade ? "the folder " : run.why == SetupRun::Why::CopyFailed ? "the copy " : "the record ") +
             ShownPath(run.failedPath) + " could not be made (" + CodeWords(run.error, "") + "). What was copied before is removed.";
  }
  size_t installed = 0, registered = 0, asked = 0;
  std::string lines;
  for (const SetupStepDone& step : run.steps) {
    installed += step.copied ? 1 : 0;
    std::string line = step.planned.file.name + ": " +
                       (step.planned.why == Why::Replaces ? "replaced" : step.copied ? "installed" : step.planned.step == PlannedFile::Step::Keep ? KeptWords(step.planned) : "not installed");
    if (step.planned.registers) {
      ++asked;
      const bool yes = Succeeded(step.outcome, step.typeLibrary);
      registered += yes ? 1 : 0;
      line += yes ? ", registered" : "; registration failed: " + FailureWords(step.outcome, step.typeLibrary, step.planned.file.registration);
    }
    if (step.planned.step == PlannedFile::Step::Pass) line = PlanLine(step.planned);
    lines += kBreak + line;
  }
  return "Installed " + Counted(installed, "file", "files") + "; registered " + Number(registered) + " of " +
         Number(asked) + "." + kBreak + lines + kBreak + kBreak + "Undo: " + ShownPath(run.record);
}

std::string UndoPlanText(const InstallRecord& record, const std::string& recordPath) {
  std::string text = "Undo what " + ShownPath(recordPath) + " records:";
  for (auto entry = record.entries.rbegin(); entry != record.entries.rend(); ++entry) {
    switch (entry->kind) {
      case InstallRecord::Kind::Folder: text += kBreak + ("remove the folder, when empty: " + ShownPath(entry->path)); break;
      case InstallRecord::Kind::File: text += kBreak + ("delete " + ShownPath(entry->path)); break;
      case InstallRecord::Kind::Replaced:
        text += kBreak + ("put back as it was: " + ShownPath(entry->path));
        break;
      default: text += kBreak + ("unregister " + ShownPath(entry->path)); break;
    }
  }
  return text;
}

std::string SetupUndoMessage(const SetupUndo& undo) {
  if (!undo.recordRead) return "Nothing was undone: " + ShownPath(undo.record) + " is not there, or cannot be read.";
  size_t registrations = 0, files = 0, folders = 0, putBack = 0;
  std::string failures;
  for (const UndoneEntry& entry : undo.entries) {
    const bool folder = entry.entry.kind == InstallRecord::Kind::Folder;
    const bool file = entry.entry.kind == InstallRecord::Kind::File;
    const bool replaced = entry.entry.kind == InstallRecord::Kind::Replaced;
    if (entry.done) {
      (folder ? folders : file ? files : replaced ? putBack : registrations) += 1;
    } else if (!folder) {
      failures += kBreak + ShownPath(entry.entry.path) +
                  (file ? ": could not be deleted" : replaced ? ": could not be put back" : ": not unregistered: " + FailureWords(entry.outcome, entry.typeLibrary,
                                                      entry.entry.kind == InstallRecord::Kind::ServerProgram
                                                          ? SetupRegistration::ExeSelfRegister
                                                          : SetupRegistration::DllSelfRegister));
    }
  }
  if (putBack) failures = " " + Counted(putBack, "file", "files") + " put back as it was." + failures;
  return "Undone: " + Counted(registrations, "registration", "registrations") + ", " + Counted(files, "file", "files") +
         " and " + Counted(folders, "folder", "folders") + " removed." + failures;
}

}  // namespace ravlin
