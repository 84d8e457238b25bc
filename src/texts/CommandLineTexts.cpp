#include "texts/CommandLineTexts.h"

namespace ravlin {
namespace {

constexpr char kBreak[] = "\r\n";

constexpr char kUsage[] =
    "Usage:\r\n"
    "  ravlin.exe /s FILE               registers a control, or a Visual Basic program's controls\r\n"
    "  ravlin.exe /s /u FILE            unregisters it (of a program, the controls in its own folder)\r\n"
    "  ravlin.exe /s [/u] /companion    registers (unregisters) RICHTX32.OCX in the system folder\r\n"
    "  ravlin.exe /s /manifest PROGRAM  writes PROGRAM.manifest, so its controls need no registration\r\n"
    "  ravlin.exe /list FILE            lists a program's controls, or a control's version and registration\r\n"
    "With /out REPORT the report goes to that file, in UTF-8.\r\n"
    "Exit codes: 0 done; 1 no manifest written; 2 a bad command line or a file that cannot be read;\r\n"
    "3 not found or could not be loaded; 4 no such export; 5 the registration failed.";

struct Listed {
  const char* word;  // the state's fixed word
  std::string path;  // the file registered or found; "" when there is none
};

// The one place a state becomes a script's word.
Listed Listing(const ProgramState& program, const ControlState& control) {
  switch (control.kind) {
    case ControlState::Kind::Registered: {
      const bool own = IsIn(control.registeredTo, program.folder) || IsIn(control.registeredTo, program.systemFolder);
      return {own ? "registered" : "registered-elsewhere", control.registeredTo};
    }
    case ControlState::Kind::MissingCopy: return {"missing-copy", control.registeredTo};
    case ControlState::Kind::Found: return {"found", control.foundAt};
    case ControlState::Kind::NotFound: break;
  }
  return {"not-found", {}};
}

// A program's table is untrusted: a tab or line break in a name would split a script's fields.
std::string Field(std::string text) {
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20) c = '?';
  return text;
}

std::string Classes(const ControlState& control) {
  std::string classes;
  for (const ControlClass& cls : control.control.classes)
    classes += (classes.empty() ? "" : ",") + (cls.className.empty() ? cls.clsid : cls.className);
  return classes;
}

}  // namespace

std::string UnknownSwitchText(const std::string& argument) { return "Unknown switch: " + argument + "."; }

std::string TwoFilesText(const std::string& first, const std::string& second) {
  return "More than one file named: " + first + " and " + second + ".";
}

std::string UsageText(const std::string& problem) { return problem + kBreak + kBreak + kUsage; }

std::string ReportNotWrittenText(const std::string& path, uint32_t error, const std::string& description) {
  return "Nothing was done: the report cannot be written to " + path + " (error " + std::to_string(error) +
         (description.empty() ? ")." : ": " + description + ").");
}

std::string ListLine(const ProgramState& program, const ControlState& control) {
  const Listed listed = Listing(program, control);
  return std::string(listed.word) + "\t" + Field(control.control.file) + "\t" + Field(Classes(control)) + "\t" +
         Field(listed.path);
}

std::string ListLines(const ProgramState& program) {
  std::string text;
  for (const ControlState& control : program.controls)
    text += (text.empty() ? "" : kBreak) + ListLine(program, control);
  return text;
}

}  // namespace ravlin
