#pragma once
// What to do about a file a program needs and the machine lacks: the
// winetricks verb that installs it under Wine, or where it comes from on
// Windows; and the message after looking in a folder the user named.
#include <string>
#include <vector>

#include "inspection/FolderSearch.h"
#include "inspection/RuntimeState.h"

namespace ravlin {
namespace text {

constexpr char kLookInPrompt[] =
    "The folder of the program's old setup, a CD or a download: its controls are looked for there, "
    "and inside each .CAB file in it.";

}  // namespace text

// The winetricks verb that installs a control file ("comdlg32ocx"); "" for one no verb installs.
std::string WinetricksVerbFor(const std::string& file);

// After "not found": "winetricks comdlg32ocx installs it", ...
std::string MissingControlHint(const std::string& file, bool underWine);

// The first line of a program's list: "Runtime MSVBVM60.DLL: found, C:\...",
// or missing and how to get it. "" for a program that imports neither.
std::string RuntimeLine(const RuntimeState& runtime, bool underWine);

// After a run's message: the controls found in a named folder that could not
// be copied into the system folder, and so were not registered; "" for none.
std::string NotCopiedLine(const std::vector<std::string>& files, const std::string& systemFolder);

// What the look found, and each cabinet skipped and why; "" when it found
// something and skipped nothing, as the list shows it all.
std::string FolderLookMessage(const FolderLook& look);

}  // namespace ravlin
