#include "texts/Hints.h"

#include "platform/Text.h"

namespace ravlin {
namespace {

constexpr char kBreak[] = "\r\n";

struct VerbFiles {
  const char* verb;
  const char* files[3];
};

// What each winetricks verb installs of the controls old programs use.
constexpr VerbFiles kVerbs[] = {
    {"comdlg32ocx", {"comdlg32.ocx"}},
    {"comctl32ocx", {"mscomctl.ocx", "comctl32.ocx", "mscomct2.ocx"}},
    {"msflxgrd", {"msflxgrd.ocx"}},
    {"mshflxgd", {"mshflxgd.ocx"}},
    {"msmask", {"msmask32.ocx"}},
    {"richtx32", {"richtx32.ocx"}},
    {"tabctl32", {"tabctl32.ocx"}},
    {"msscript", {"msscript.ocx"}},
    {"msdxmocx", {"msdxm.ocx"}},
};

std::string Why(SkippedCabinet::Why why) {
  switch (why) {
    case SkippedCabinet::Why::TooLarge: return "it is larger than 100 MB";
    case SkippedCabinet::Why::NoTemporaryFolder: return "no folder for its files could be made in the temporary folder";
    case SkippedCabinet::Why::Damaged: break;
  }
  return "it is damaged, or no cabinet";
}

}  // namespace

std::string WinetricksVerbFor(const std::string& file) {
  const std::string name = Lower(FileNameOf(file));
  for (const VerbFiles& entry : kVerbs)
    for (const char* installed : entry.files)
      if (installed && name == installed) return entry.verb;
  return {};
}

std::string MissingControlHint(const std::string& file, bool underWine) {
  const std::string verb = WinetricksVerbFor(file);
  if (verb.empty()) return "put a copy beside the program or in the system folder, or look in a folder";
  if (underWine) return "winetricks " + verb + " installs it";
  return "it comes with the program's setup or the Visual Basic 6 controls' redistributable";
}

std::string RuntimeLine(const RuntimeState& runtime, bool underWine) {
  if (runtime.name.empty()) return {};
  const std::string head = "Runtime " + runtime.name + ": ";
  if (!runtime.foundAt.empty()) return head + "found, " + runtime.foundAt;
  if (underWine) return head + "missing; winetricks " + (runtime.IsVersion5() ? "vb5run" : "vb6run") + " installs it";
  return head + "missing; install the Visual Basic " + (runtime.IsVersion5() ? "5.0" : "6.0") + " runtime";
}

std::string NotCopiedLine(const std::vector<std::string>& files, const std::string& systemFolder) {
  std::string names;
  for (const std::string& file : files) names += (names.empty() ? "" : ", ") + file;
  if (names.empty()) return {};
  return std::string(kBreak) + kBreak + "Not copied into " + systemFolder +
         " (a file of that name is there, or the folder cannot be written), so not registered: " + names + ".";
}

std::string FolderLookMessage(const FolderLook& look) {
  std::string message;
  if (look.found == 0) message = "None of the missing controls is in " + look.folder + ".";
  for (const SkippedCabinet& skipped : look.skipped)
    message += (message.empty() ? "" : kBreak) + std::string("Skipped ") + skipped.name + ": " + Why(skipped.why) + ".";
  return message;
}

}  // namespace ravlin
