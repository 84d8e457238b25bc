#pragma once
// A setup folder named, in the window or on the command line: its SETUP.LST
// read, the members its lines need taken out of its cabinets into a new
// folder, and the plan made. Nothing else is written before the user has
// seen that plan.
#include <string>

#include "inspection/SetupPlan.h"
#include "platform/Platform.h"

namespace ravlin {

struct PreparedSetup {
  enum class Why { NotASetup, Ready, NoList, Unreadable, NoProgramFolder };
  Why why = Why::NotASetup;
  std::string list;  // SETUP.LST in full
  SetupPlan plan;    // Ready only
};

// Whether spec names a folder holding SETUP.LST, or a file called SETUP.LST:
// a setup folder to plan rather than a file to register.
bool NamesSetup(Platform& platform, const std::string& spec);

// NotASetup when NamesSetup says no; toFolder ("" for the list's own default)
// is where the program goes; replaceNewer, whether the shared files the package
// has newer are replaced (see ChooseReplacing). Never throws.
PreparedSetup PrepareSetup(Platform& platform, const std::string& spec, const std::string& toFolder,
                           bool replaceNewer);

}  // namespace ravlin
