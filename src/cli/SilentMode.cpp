// Each command as the window would do it, told in its words, with regsvr32's
// exit codes where it has one for the case.
#include "cli/SilentMode.h"

#include <exception>
#include <string>

#include "cli/ExitCodes.h"
#include "cli/SilentRequest.h"
#include "cli/SilentSetup.h"
#include "inspection/FileIdentity.h"
#include "inspection/PlatformFile.h"
#include "platform/ResumeNext.h"
#include "platform/Text.h"
#include "requests/NamedFile.h"
#include "requests/ProgramRequest.h"
#include "texts/CommandLineTexts.h"
#include "texts/ManifestTexts.h"
#include "texts/ProgramTexts.h"
#include "texts/StateTexts.h"
#include "texts/Texts.h"

namespace ravlin {
namespace {

constexpr char kBreak[] = "\r\n";

struct Report {
  int exitCode = kExitDone;
  std::string text;  // its first line the plain outcome
};

// Nobody watches a script's run: no progress shown, no busy pointer.
void NoBusyPointer() {}
void NoProgress(size_t, size_t, const std::string&) {}

Report RunOne(Platform& platform, const std::string& path, Action action) {
  Registrar registrar(platform);
  const Outcome outcome = registrar.Run(path, action, NoBusyPointer);
  return {ExitCodeOf(outcome), MessageFor(outcome)};
}

// A program's controls one after another, as Proceed runs them.
Report RunControls(Platform& platform, ProgramState program, Action action) {
  Registrar registrar(platform);
  NoteConfirmed(platform, program, action);
  const ProgramProceeded proceeded =
      ProceedWithProgram(platform, registrar, program, action, NoProgress, NoBusyPointer);
  return {ExitCodeOf(proceeded.run), ProgramRunMessage(proceeded.run)};
}

// Straight through the registrar: whoever runs a script has the rights it needs.
Report RegisterCompanion(Platform& platform, Action action) {
  const NamedFile companion = ReadNamedFile(platform, CompanionPath(platform));
  if (companion.kind == NamedFile::Kind::NotFound) return {kExitCouldNotLoad, text::kFileNotFound};
  return RunOne(platform, companion.path, action);
}

// What the confirmation shows of a control file: its version, and what is registered to it.
std::string FileLines(Platform& platform, const std::string& path) {
  std::string lines = FileInfoCaption(ReadVersionSummary(platform, path));
  const std::string state = RegistrationLineOf(platform, path);
  if (!state.empty()) lines.append(kBreak).append(state);
  return lines;
}

Report WriteManifestOf(Platform& platform, const ProgramState& program) {
  const ManifestResult result = DescribeInManifest(platform, program);
  return {result.kind == ManifestResult::Kind::Written ? kExitDone : kExitNothingWritten, ManifestMessage(result)};
}

// A file named: a control, or a Visual Basic program, as Register tells them apart.
Report RunOnFile(Platform& platform, SilentRequest::Mode mode, Action action, const std::string& fileSpec) {
  using Mode = SilentRequest::Mode;
  using Kind = NamedFile::Kind;
  const NamedFile named = ReadNamedFile(platform, fileSpec);
  const std::string& path = named.path;
  if (named.kind == Kind::NotFound) return {kExitCouldNotLoad, text::kFileNotFound};
  switch (named.kind) {
    case Kind::Control:
      if (mode == Mode::Manifest) return {kExitNothingWritten, text::kNotAProgram};
      if (mode != Mode::List) return RunOne(platform, path, action);
      switch (ReadListedFile(platform, path)) {
        case ListedFile::CannotRead: return {kExitCouldNotLoad, text::kCannotRead};
        case ListedFile::NotALibrary: return {kExitCouldNotLoad, text::kNeitherProgramNorLibrary};
        case ListedFile::Library: break;
      }
      return {kExitDone, FileLines(platform, path)};
    case Kind::ProgramUnreadable:
      return {mode == Mode::Manifest ? kExitNothingWritten : kExitCouldNotLoad, text::kControlsUnreadable};
    case Kind::ProgramWithoutControls:
      return {mode == Mode::Manifest ? kExitNothingWritten : kExitDone, text::kNoControls};
    default: break;
  }
  if (mode == Mode::Manifest) return WriteManifestOf(platform, *named.program);
  if (mode == Mode::List) return {kExitDone, ListLines(*named.program)};
  return RunControls(platform, *named.program, action);
}

// Whether the report would land on what the request reads or writes: the
// file named (by any of its names), or the manifest /manifest writes.
bool ReportIsInput(Platform& platform, const SilentRequest& request) {
  const std::string input = request.companion ? CompanionPath(platform) : request.file;
  const auto full = [&](const std::string& path) { return Lower(FullPathOf(platform, path)); };
  bool same = false;
  ResumeNext([&] {
    same = IsSameFile(platform, request.out, input) ||
           (request.mode == SilentRequest::Mode::Manifest && full(request.out) == full(input) + ".manifest");
  });
  return same;
}

Report Run(Platform& platform, const SilentRequest& request) {
  const Action action = request.mode == SilentRequest::Mode::Unregister ? Action::Unregister : Action::Register;
  if (request.companion) return RegisterCompanion(platform, action);
  if (request.install) {
    const SetupReport setup = RunSetupRequest(platform, request);
    return {setup.exitCode, setup.text};
  }
  return RunOnFile(platform, request.mode, action, request.file);
}

// The usage where a script sees it; started with nowhere to print, in a box, as regsvr32 shows it.
int RefuseCommandLine(Console& console, const std::string& problem) {
  const std::string usage = UsageText(problem) + kBreak;
  if (!console.Print(usage)) console.ShowMessage(usage);
  return kExitBadArguments;
}

}  // namespace

std::optional<int> RunSilentMode(Platform& platform, Console& console) {
  const SilentRequest request = ReadSilentRequest(console.Command());
  if (request.mode == SilentRequest::Mode::Window) return std::nullopt;
  if (request.mode == SilentRequest::Mode::Usage) return RefuseCommandLine(console, request.problem);
  if (!request.out.empty() && ReportIsInput(platform, request)) {
    console.Print(std::string(text::kReportIsInput) + kBreak);
    return kExitBadArguments;
  }
  // A report that could not be delivered would leave a script guessing: the
  // file is made before anything is done.
  if (!request.out.empty()) {
    if (console.WriteUtf8File(request.out, "") != 0) {
      console.Print(ReportNotWrittenText(request.out));
      return kExitBadArguments;
    }
  }
  Report report;
  try {
    report = Run(platform, request);
  } catch (const std::exception& failure) {
    report = {kExitExportFailed, failure.what()};
  }
  report.text += kBreak;
  if (request.out.empty() || console.WriteUtf8File(request.out, report.text) != 0) console.Print(report.text);
  return report.exitCode;
}

}  // namespace ravlin
