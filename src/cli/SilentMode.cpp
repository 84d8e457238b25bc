// Each command as the window would do it, told in its words, with regsvr32's
// exit codes where it has one for the case.
#include "cli/SilentMode.h"

#include <exception>
#include <string>

#include "cli/ExitCodes.h"
#include "cli/SilentRequest.h"
#include "inspection/PlatformFile.h"
#include "platform/Probes.h"
#include "platform/ResumeNext.h"
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

Report NotFound() { return {kExitCouldNotLoad, text::kFileNotFound}; }

// A program's controls one after another, as Proceed runs them.
Report RunControls(Platform& platform, const ProgramState& program, Action action) {
  if (program.kind == ProgramControls::Kind::Unreadable) return {kExitCouldNotLoad, text::kControlsUnreadable};
  if (program.controls.empty()) return {kExitDone, text::kNoControls};
  Registrar registrar(platform);
  const ProgramRun run = RunProgram(registrar, program, action, [](size_t, size_t, const std::string&) {}, Nothing,
                                    [&] { return ReadStateAgain(platform, program); });
  return {ExitCodeOf(run), ProgramRunMessage(run)};
}

Report RunOne(Platform& platform, const std::string& fileSpec, Action action) {
  Registrar registrar(platform);
  const Outcome outcome = registrar.Run(fileSpec, action, Nothing);
  return {ExitCodeOf(outcome), MessageFor(outcome)};
}

Report Register(Platform& platform, const std::string& fileSpec, Action action) {
  if (PathOf(platform, fileSpec).empty()) return NotFound();
  if (const std::optional<ProgramState> program = ReadProgramNamed(platform, fileSpec))
    return RunControls(platform, *program, action);
  return RunOne(platform, fileSpec, action);
}

// Straight through the registrar: whoever runs a script has the rights it needs.
Report RegisterCompanion(Platform& platform, Action action) {
  bool sixtyFour = false;  // a failing probe chooses system32, as at start-up
  ResumeNext([&] { sixtyFour = is64(platform); });
  const std::string folder = CompanionFolder(sixtyFour);
  const std::string path = folder + "\\RICHTX32.OCX";
  if (PathOf(platform, path).empty())
    return {kExitCouldNotLoad, std::string(text::kFileNotFound) + ": " + path + kBreak + kBreak + text::kPleasePlace + folder};
  return RunOne(platform, path, action);
}

Report WriteManifestOf(Platform& platform, const std::string& fileSpec) {
  if (PathOf(platform, fileSpec).empty()) return NotFound();
  const std::optional<ProgramState> program = ReadProgramNamed(platform, fileSpec);
  if (!program) return {kExitNothingWritten, text::kNotAProgram};
  if (program->kind == ProgramControls::Kind::Unreadable) return {kExitNothingWritten, text::kControlsUnreadable};
  if (program->controls.empty()) return {kExitNothingWritten, text::kNoControls};
  const ManifestResult result = WriteProgramManifest(platform, *program);
  return {result.kind == ManifestResult::Kind::Written ? kExitDone : kExitNothingWritten, ManifestMessage(result)};
}

// What the confirmation shows of a control file: its version, and what is registered to it.
std::string FileLines(Platform& platform, const std::string& path) {
  std::string state;
  ResumeNext([&] { state = ConfirmationLine(ReadRegistrationState(platform, path)); });
  const std::string summary = FileInfoCaption(ReadVersionSummary(platform, path));
  return state.empty() ? summary : summary + kBreak + state;
}

Report List(Platform& platform, const std::string& fileSpec) {
  const std::string path = PathOf(platform, fileSpec);
  if (path.empty()) return NotFound();
  if (!PlatformFile(platform, path).IsOpen()) return {kExitBadInput, text::kCannotRead};
  const std::optional<ProgramState> program = ReadProgramNamed(platform, path);
  if (!program) return {kExitDone, FileLines(platform, path)};
  if (program->kind == ProgramControls::Kind::Unreadable) return {kExitBadInput, text::kControlsUnreadable};
  if (program->controls.empty()) return {kExitDone, text::kNoControls};
  return {kExitDone, ListLines(*program)};
}

Report Run(Platform& platform, const SilentRequest& request) {
  using Mode = SilentRequest::Mode;
  const Action action = request.mode == Mode::Unregister ? Action::Unregister : Action::Register;
  switch (request.mode) {
    case Mode::Register:
    case Mode::Unregister:
      return request.companion ? RegisterCompanion(platform, action) : Register(platform, request.file, action);
    case Mode::Manifest: return WriteManifestOf(platform, request.file);
    case Mode::List: return List(platform, request.file);
    case Mode::Usage:
    case Mode::Window: break;
  }
  return {kExitBadInput, UsageText(request.problem)};
}

}  // namespace

std::optional<int> RunSilentMode(Platform& platform, Console& console) {
  const SilentRequest request = ReadSilentRequest(console.Command());
  if (request.mode == SilentRequest::Mode::Window) return std::nullopt;
  // A report that could not be delivered would leave a script guessing: the
  // file is made before anything is done.
  if (!request.out.empty()) {
    if (const uint32_t error = console.WriteUtf8File(request.out, "")) {
      console.Print(ReportNotWrittenText(request.out, error, SystemDescription(platform, error)) + kBreak);
      return kExitBadInput;
    }
  }
  Report report;
  try {
    report = Run(platform, request);
  } catch (const std::exception& failure) {
    report = {kExitExportFailed, failure.what()};
  }
  const std::string text = report.text + kBreak;
  if (request.out.empty() || console.WriteUtf8File(request.out, text) != 0) console.Print(text);
  return report.exitCode;
}

}  // namespace ravlin
