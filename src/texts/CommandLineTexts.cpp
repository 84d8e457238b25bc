#include "texts/CommandLineTexts.h"

namespace ravlin {
namespace {

constexpr char kBreak[] = "\r\n";

constexpr char kUsage[] =
    "Usage: ravlin.exe /s [/u] FILE | /s [/u] /companion | /s /manifest PROGRAM | /list FILE\r\n"
    "| /s [/u] /install SETUPFOLDER [/to FOLDER] [/replace] | /list /install SETUPFOLDER [/replace]\r\n"
    "and /out REPORT.";

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
    case ControlState::Kind::NotAControl: return {"not-a-control", {}};
    case ControlState::Kind::NotFound: break;
  }
  return {"not-found", {}};
}

// A program's table is untrusted: a tab or line break in a name would split a script's fields.
void AddField(std::string& line, const std::string& text) {
  for (char c : text) line += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
}

}  // namespace

std::string UsageText(const std::string& problem) { return problem + kBreak + kBreak + kUsage; }

std::string ReportNotWrittenText(const std::string& path) {
  return "Cannot write the report to " + path + ": nothing was done.\r\n";
}

std::string ListLine(const ProgramState& program, const ControlState& control) {
  const Listed listed = Listing(program, control);
  std::string line = listed.word;
  line += '\t';
  AddField(line, control.control.file);
  line += '\t';
  for (const ControlClass& cls : control.control.classes) {
    if (&cls != &control.control.classes.front()) line += ',';
    AddField(line, cls.className.empty() ? cls.clsid : cls.className);
  }
  line += '\t';
  AddField(line, listed.path);
  return line;
}

std::string ListLines(const ProgramState& program) {
  std::string text;
  for (const ControlState& control : program.controls) {
    if (!text.empty()) text += kBreak;
    text += ListLine(program, control);
  }
  return text;
}

}  // namespace ravlin
