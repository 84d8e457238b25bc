#include "inspection/InstallRecord.h"

namespace ravlin {
namespace {

constexpr char kSetupWord[] = "setup";
constexpr struct {
  const char* word;
  InstallRecord::Kind kind;
} kWords[] = {
    {"folder", InstallRecord::Kind::Folder},           {"file", InstallRecord::Kind::File},
    {"control", InstallRecord::Kind::Control},         {"server", InstallRecord::Kind::ServerProgram},
    {"typelibrary", InstallRecord::Kind::TypeLibrary}, {"replaced", InstallRecord::Kind::Replaced},
};

// A path the record may name: absolute, on a drive or a share.
bool IsFullPath(const std::string& path) {
  return (path.size() > 3 && path[1] == ':' && path[2] == '\\') || path.rfind("\\\\", 0) == 0;
}

}  // namespace

std::string RecordText(const InstallRecord& record) {
  std::string text = "; Installed by ravlin; Unregister on the setup folder undoes it.\r\n";
  text += std::string(kSetupWord) + " " + record.setup + "\r\n";
  for (const InstallRecord::Entry& entry : record.entries)
    for (const auto& word : kWords)
      if (word.kind == entry.kind) text += std::string(word.word) + " " + entry.path + "\r\n";
  return text;
}

InstallRecord ReadInstallRecord(const std::string& text) {
  InstallRecord record;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t space = line.find(' ');
    if (space == std::string::npos) continue;
    const std::string word = line.substr(0, space), path = line.substr(space + 1);
    if (word == kSetupWord) record.setup = path;
    for (const auto& known : kWords)
      if (word == known.word && IsFullPath(path)) record.entries.push_back({known.kind, path});
  }
  return record;
}

std::string BackupPathFor(const std::string& programFolder, const std::string& fileName) {
  return programFolder + "\\Replaced\\" + fileName;
}

std::string RecordNameFor(const std::string& appExe) { return (appExe.empty() ? "setup" : appExe) + ".install.txt"; }

}  // namespace ravlin
