// Each command as the window would do it, told in its words, with regsvr32's
// exit codes where it has one for the case.
#include "cli/SilentMode.h"

#include <exception>
#include <string>

#include "cli/ExitCodes.h"
#include "cli/SilentRequest.h"
#include "cli/SilentSetup.h"
#include "inspection/PlatformFile.h"
#include "platform/Probes.h"
#include "platform/ResumeNext.h"
#include "registration/Capture.h"
#include "registration/CompanionScript.h"
#include "sidebyside/ProgramManifest.h"
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

void Nothing() {}

// The file as the window checks it before Register: "" when it is no file here.
std::string PathOf(Platform& platform, const std::string& fileSpec) {
  std::string path;
  ResumeNext([&] { path = CheckedPathOf(platform, fileSpec); });
  return path;
}

Report RunOne(Platform& platform, const std::string& path, Action action) {
  Registrar registrar(platform);
  const Outcome outcome = registrar.Run(path, action, Nothing);
  return {ExitCodeOf(outcome), MessageFor(outcome)};
}

// A program's controls one after another, as Proceed runs them.
Report RunControls(Platform& platform, const ProgramState& program, Action action) {
  Registrar registrar(platform);
  const ProgramRun run = RunProgram(registrar, program, action, [](size_t, size_t, const std::string&) {}, Nothing,
                                    [&] { return ReadStateAgain(platform, program); });
  return {ExitCodeOf(run), ProgramRunMessage(run)};
}

// Straight through the registrar: whoever runs a script has the rights it needs.
Report RegisterCompanion(Platform& platform, Action action) {
  bool sixtyFour = false;  // a failing probe chooses system32, as at start-up
  ResumeNext([&] { sixtyFour = is64(platform); });
  const std::string path = CompanionFolder(sixtyFour) + "\\RICHTX32.OCX";
  if (PathOf(platform, path).empty()) return {kExitCouldNotLoad, text::kFileNotFound};
  return RunOne(platform, path, action);
}

// What the confirmation shows of a control file: its version, and what is registered to it.
std::string FileLines(Platform& platform, const std::string& path) {
  std::string lines = FileInfoCaption(ReadVersionSummary(platform, path));
  const std::string state = RegistrationLineOf(platform, path);
  if (!state.empty()) lines.append(kBreak).append(state);
  return lines;
}

Report WriteManifestOf(Platform& platform, const ProgramState& program) {
  const std::string self = OwnProgramPath(platform);
  const ManifestResult result = WriteProgramManifest(
      platform, program, [&](const std::string& control) { return DescribeControl(platform, self, control); });
  return {result.kind == ManifestResult::Kind::Written ? kExitDone : kExitNothingWritten, ManifestMessage(result)};
}

// A file named: a control, or a Visual Basic program, as Register tells them apart.
Report RunOnFile(Platform& platform, SilentRequest::Mode mode, Action action, const std::string& fileSpec) {
  using Mode = SilentRequest::Mode;
  const std::string path = PathOf(platform, fileSpec);
  if (path.empty()) return {kExitCouldNotLoad, text::kFileNotFound};
  if (mode == Mode::List && !PlatformFile(platform, path).IsOpen()) return {kExitBadInput, text::kCannotRead};
  const std::optional<ProgramState> program = ReadProgramNamed(platform, path);
  if (!program) {
    if (mode == Mode::Manifest) return {kExitNothingWritten, text::kNotAProgram};
    return mode == Mode::List ? Report{kExitDone, FileLines(platform, path)} : RunOne(platform, path, action);
  }
  if (program->kind == ProgramControls::Kind::Unreadable)
    return {mode == Mode::List ? kExitBadInput : mode == Mode::Manifest ? kExitNothingWritten : kExitCouldNotLoad,
            text::kControlsUnreadable};
  if (program->controls.empty()) return {mode == Mode::Manifest ? kExitNothingWritten : kExitDone, text::kNoControls};
  if (mode == Mode::Manifest) return WriteManifestOf(platform, *program);
  if (mode == Mode::List) return {kExitDone, ListLines(*program)};
  return RunControls(platform, *program, action);
}

Report Run(Platform& platform, const SilentRequest& request) {
  const Action action = request.mode == SilentRequest::Mode::Unregister ? Action::Unregister : Action::Register;
  if (request.mode == SilentRequest::Mode::Usage) return {kExitBadInput, UsageText(request.problem)};
  if (request.companion) return RegisterCompanion(platform, action);
  if (request.install) {
    const SetupReport setup = RunSetupRequest(platform, request);
    return {setup.exitCode, setup.text};
  }
  return RunOnFile(platform, request.mode, action, request.file);
}

}  // namespace

std::optional<int> RunSilentMode(Platform& platform, Console& console) {
  const SilentRequest request = ReadSilentRequest(console.Command());
  if (request.mode == SilentRequest::Mode::Window) return std::nullopt;
  // A report that could not be delivered would leave a script guessing: the
  // file is made before anything is done.
  if (!request.out.empty()) {
    if (console.WriteUtf8File(request.out, "") != 0) {
      console.Print(ReportNotWrittenText(request.out));
      return kExitBadInput;
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
