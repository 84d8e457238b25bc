#pragma once
// What the user reads about a setup folder: its plan, one line per line of
// SETUP.LST, and the one message that ends installing it or undoing it.
#include <string>

#include "registration/SetupInstall.h"
#include "registration/SetupRequest.h"

namespace ravlin {

// Why a setup folder named cannot be planned; "" when it is ready.
std::string PreparedProblem(const PreparedSetup& prepared);

// "STrayIco.ocx: install into C:\windows\syswow64, then register it", ...
std::string PlanLine(const PlannedFile& planned);

// Where the program goes, each line of the list, then what could not be read.
std::string PlanText(const SetupPlan& plan);

// "Installed 3 files; registered 2 of 2.", then each line's outcome.
std::string SetupRunMessage(const SetupRun& run);

// What Unregister on the setup folder will undo, from its record.
std::string UndoPlanText(const InstallRecord& record, const std::string& recordPath);

// "Undone: 2 registrations, 3 files and 1 folder.", then what could not be undone.
std::string SetupUndoMessage(const SetupUndo& undo);

}  // namespace ravlin
