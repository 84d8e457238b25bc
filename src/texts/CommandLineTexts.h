#pragma once
// What the command line prints besides the window's own messages: why a
// command line is refused, the usage, and /list's lines for scripts.
#include <string>

#include "inspection/ProgramState.h"

namespace ravlin {
namespace text {

constexpr char kUnknownSwitch[] = "Unknown switch: ";
constexpr char kNoFileNamed[] = "No file named.";
constexpr char kNoFileAfterOut[] = "No file after /out.";
constexpr char kSilentAndList[] = "/s or /list, not both.";
constexpr char kListTakesOut[] = "/list takes no switch but /out.";
constexpr char kManifestAlone[] = "/manifest takes no /u or /companion.";
constexpr char kCompanionAlone[] = "/companion takes no file.";
constexpr char kTwoFiles[] = "Two files named.";
constexpr char kTwoReports[] = "/out named twice.";
constexpr char kReportIsInput[] = "The report would replace the file it is about: nothing was done.";
constexpr char kCannotRead[] = "Cannot read the file.";
constexpr char kNeitherProgramNorLibrary[] = "Not a program or a library: nothing to list.";
constexpr char kNotAProgram[] = "Nothing was written: no Visual Basic program.";
constexpr char kNoFolderAfterTo[] = "No folder after /to.";
constexpr char kToTakesInstall[] = "/to goes with /install.";
constexpr char kReplaceTakesInstall[] = "/replace goes with /install, not with /u.";
constexpr char kInstallAlone[] = "/install takes no /manifest or /companion.";
constexpr char kNotASetup[] = "No setup folder: name the folder that holds SETUP.LST, or SETUP.LST itself.";

}  // namespace text

// The reason first, then how the program is called and its exit codes.
std::string UsageText(const std::string& problem);
// The report file named by /out cannot be written.
std::string ReportNotWrittenText(const std::string& path);

// One line of /list for a script: the state's fixed word, the file name as the
// program names it, its classes, and the file registered or found (tab-separated).
std::string ListLine(const ProgramState& program, const ControlState& control);
// One line per control.
std::string ListLines(const ProgramState& program);

}  // namespace ravlin
