#pragma once
// What the command line prints besides the window's own messages: why a
// command line is refused, the usage, and /list's lines for scripts.
#include <cstdint>
#include <string>

#include "inspection/ProgramState.h"

namespace ravlin {
namespace text {

constexpr char kNoFileNamed[] = "No file named.";
constexpr char kNoFileAfterOut[] = "No file named after /out.";
constexpr char kSilentAndList[] = "/s and /list do not go together.";
constexpr char kListTakesOut[] = "/list takes no other switch but /out.";
constexpr char kManifestAlone[] = "/manifest takes neither /u nor /companion.";
constexpr char kCompanionAlone[] = "/companion names its file itself: no other file goes with it.";
constexpr char kCannotRead[] = "The file cannot be read.";
constexpr char kNotAProgram[] =
    "Nothing was written: the file is not a Visual Basic program, so it names no controls to describe.";

}  // namespace text

std::string UnknownSwitchText(const std::string& argument);
std::string TwoFilesText(const std::string& first, const std::string& second);
// The reason first, then how the program is called and its exit codes.
std::string UsageText(const std::string& problem);
// The report file named by /out cannot be written.
std::string ReportNotWrittenText(const std::string& path, uint32_t error, const std::string& description);

// One line of /list for a script: the state's fixed word, the file name as the
// program names it, its classes, and the file registered or found (tab-separated).
std::string ListLine(const ProgramState& program, const ControlState& control);
// One line per control.
std::string ListLines(const ProgramState& program);

}  // namespace ravlin
