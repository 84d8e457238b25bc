#pragma once
// The exit codes a script reads: regsvr32's, where it has one for the case.
#include "registration/ProgramRun.h"
#include "registration/SetupInstall.h"

namespace ravlin {

constexpr int kExitDone = 0;
constexpr int kExitNothingWritten = 1;  // /manifest wrote nothing
constexpr int kExitBadArguments = 1;    // regsvr32's: a bad command line
constexpr int kExitSetupUnusable = 1;   // a setup list that names no file or no program folder
constexpr int kExitCouldNotLoad = 3;    // regsvr32's: no such file, or it could not be loaded or read
constexpr int kExitNoExport = 4;        // regsvr32's: the export is not there
constexpr int kExitExportFailed = 5;    // regsvr32's: the export failed

int ExitCodeOf(const Outcome& outcome);
// The first failure's code, in the program's order: a control that could not
// be registered because it is nowhere counts as one that could not be loaded.
int ExitCodeOf(const ProgramRun& run);
// A setup installed: 3 when nothing was, or a line of its plan could not be
// (its file is nowhere, or the line is damaged); else the first registration's failure.
int ExitCodeOf(const SetupRun& run, const SetupPlan& plan);
// Undone: 3 without a record, 5 when a registration or file is left.
int ExitCodeOf(const SetupUndo& undo);

}  // namespace ravlin
