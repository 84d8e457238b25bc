#include "inspection/SetupList.h"

#include <cctype>

#include "inspection/NeverControls.h"
#include "inspection/Spellings.h"
#include "platform/Text.h"

namespace ravlin {
namespace {

constexpr struct {
  const char* macro;
  SetupFolder folder;
} kFolders[] = {
    {"$(winsyspath)", SetupFolder::WinSysPath},       {"$(winsyspathsysfile)", SetupFolder::WinSysPathSysFile},
    {"$(apppath)", SetupFolder::AppPath},             {"$(winpath)", SetupFolder::WinPath},
    {"$(programfiles)", SetupFolder::ProgramFiles},   {"$(commonfiles)", SetupFolder::CommonFiles},
    {"$(commonfilessys)", SetupFolder::CommonFilesSys}, {"$(msdaopath)", SetupFolder::MSDAOPath},
};

constexpr struct {
  const char* macro;
  SetupRegistration registration;
} kRegistrations[] = {
    {"", SetupRegistration::None},
    {"$(dllselfregister)", SetupRegistration::DllSelfRegister},
    {"$(exeselfregister)", SetupRegistration::ExeSelfRegister},
    {"$(tlbregister)", SetupRegistration::TlbRegister},
    {"$(remote)", SetupRegistration::Remote},
    {"$(vblregister)", SetupRegistration::VblRegister},
};

using Why = SetupLineProblem::Why;

// The header values read, as "section/key": title, default folder, program, cabinet, cabinets.
constexpr const char* kHeaderKeys[] = {"setup/title", "setup/defaultdir", "setup/appexe", "bootstrap/cabfile",
                                       "bootstrap/cabs"};

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> Fields(const std::string& value) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t comma; (comma = value.find(',', start)) != std::string::npos; start = comma + 1)
    fields.push_back(Trimmed(value.substr(start, comma - start)));
  fields.push_back(Trimmed(value.substr(start)));
  return fields;
}

bool AllDigits(const std::string& text) {
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return !text.empty();
}

// "file12": a key already in lower case.
bool IsFileKey(const std::string& key) { return key.size() > 4 && key.compare(0, 4, "file") == 0 && AllDigits(key.substr(4)); }

// The macro and what follows it: "$(AppPath)\Data" is AppPath and "Data". A
// sub-folder is made of bare names only, so it can never climb out.
bool ReadDestination(const std::string& text, SetupFile& file, Why& why) {
  const size_t close = text.find(')');
  const std::string macro = Lower(text.substr(0, close == std::string::npos ? 0 : close + 1));
  bool known = false;
  for (const auto& entry : kFolders)
    if (macro == entry.macro) file.folder = entry.folder, known = true;
  if (!known) {
    why = text.rfind("$(", 0) == 0 ? Why::UnknownFolder : Why::OutsideFolders;
    return false;
  }
  std::string rest = text.substr(macro.size());
  while (!rest.empty() && (rest.front() == '\\' || rest.front() == '/')) rest.erase(0, 1);
  while (!rest.empty() && (rest.back() == '\\' || rest.back() == '/')) rest.pop_back();
  for (size_t start = 0; !rest.empty() && start <= rest.size();) {
    const size_t end = rest.find_first_of("\\/", start);
    const std::string part = rest.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!IsBareFileName(part)) {
      why = Why::OutsideFolders;
      return false;
    }
    file.subFolder += (file.subFolder.empty() ? "" : "\\") + part;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return true;
}

bool ReadRegistration(const std::string& text, SetupFile& file) {
  for (const auto& entry : kRegistrations)
    if (Lower(text) == entry.macro) {
      file.registration = entry.registration;
      return true;
    }
  return false;
}

// "[@]name,destination,registration,shared,date,size[,version]", or the older
// "disk,,packed,name,destination,registration,shared,date,size[,version]".
bool ReadFileLine(const std::string& value, SetupFile& file, Why& why) {
  std::vector<std::string> fields = Fields(value);
  const bool older = fields.size() >= 9 && AllDigits(fields[0]) && fields[1].empty();
  if (older) {
    file.besideName = fields[2];
    fields.erase(fields.begin(), fields.begin() + 3);
  } else if (fields.size() < 6 || fields.size() > 7) {
    why = Why::Fields;
    return false;
  }
  file.name = fields[0];
  if (!older && !file.name.empty() && file.name[0] == '@') {
    file.inCabinet = true;
    file.name.erase(0, 1);
  }
  if (file.besideName.empty()) file.besideName = file.name;
  if (!IsBareFileName(file.name) || !IsBareFileName(file.besideName)) {
    why = Why::Name;
    return false;
  }
  if (!ReadDestination(fields[1], file, why)) return false;
  if (!ReadRegistration(fields[2], file)) {
    why = Why::UnknownRegistration;
    return false;
  }
  if (fields.size() > 6) file.version = fields[6];
  return true;
}

// Cabs=N names N cabinets, CabFile's name numbered: PROJECT1.CAB, PROJECT2.CAB...
std::vector<std::string> CabinetsOf(const std::string& cabFile, const std::string& count) {
  if (!IsBareFileName(cabFile)) return {};
  size_t cabinets = 0;
  for (size_t i = 0; AllDigits(count) && i < count.size() && i < 3; ++i) cabinets = cabinets * 10 + (count[i] - '0');
  if (cabinets <= 1) return {cabFile};
  const size_t dot = cabFile.find_last_of('.');
  std::string stem = cabFile.substr(0, dot);
  const std::string extension = dot == std::string::npos ? std::string() : cabFile.substr(dot);
  while (!stem.empty() && std::isdigit(static_cast<unsigned char>(stem.back()))) stem.pop_back();
  std::vector<std::string> names;
  for (size_t i = 1; i <= cabinets; ++i) names.push_back(stem + std::to_string(i) + extension);
  return names;
}

void NoteIfNamedTwice(SetupList& list, SetupFile& file) {
  for (const SetupFile& earlier : list.files)
    if (Lower(earlier.name) == Lower(file.name) && earlier.folder == file.folder &&
        Lower(earlier.subFolder) == Lower(file.subFolder)) {
      file.firstLine = earlier.line;
      return;
    }
}

}  // namespace

bool IsBareFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("\\/:*?\"<>|") == std::string::npos &&
         Trimmed(name) == name && !IsDeviceName(name);
}

std::string ProgramFolderName(const SetupList& list) {
  const std::string last = FileNameOf(list.defaultDir);
  if (last.rfind("$(", 0) != 0 && IsBareFileName(last)) return last;
  return IsBareFileName(list.title) ? list.title : std::string();
}

SetupList ReadSetupList(const std::string& bytes) {
  SetupList list;
  std::string section, cabFile, cabs;
  size_t number = 0;
  const size_t bom = bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
  for (size_t start = bom; start < bytes.size();) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    const std::string line = Trimmed(SpellingsOf(bytes.substr(start, end - start)).back());
    start = end + 1;
    const std::string text = !line.empty() && line.back() == '\r' ? Trimmed(line.substr(0, line.size() - 1)) : line;
    ++number;
    if (text.empty() || text[0] == ';') continue;
    if (text.front() == '[' && text.back() == ']') {
      section = Lower(Trimmed(text.substr(1, text.size() - 2)));
      continue;
    }
    const size_t equals = text.find('=');
    if (equals == std::string::npos) {
      list.problems.push_back({number, Why::NotALine, text});
      continue;
    }
    const std::string key = Lower(Trimmed(text.substr(0, equals))), value = Trimmed(text.substr(equals + 1));
    if (IsFileKey(key)) {
      SetupFile file;
      file.line = number;
      Why why = Why::NotALine;
      if (!ReadFileLine(value, file, why)) {
        list.problems.push_back({number, why, text});
        continue;
      }
      NoteIfNamedTwice(list, file);
      list.files.push_back(file);
    } else {
      std::string* const fields[] = {&list.title, &list.defaultDir, &list.appExe, &cabFile, &cabs};
      for (size_t i = 0; i < sizeof fields / sizeof *fields; ++i)
        if (section + "/" + key == kHeaderKeys[i]) *fields[i] = value;
    }
  }
  if (!IsBareFileName(list.appExe)) list.appExe.clear();
  if (!cabFile.empty()) list.cabinets = CabinetsOf(cabFile, cabs);
  return list;
}

}  // namespace ravlin
