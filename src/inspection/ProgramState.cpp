#include "inspection/ProgramState.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "inspection/PlatformFile.h"
#include "inspection/RegistrationState.h"
#include "inspection/Spellings.h"
#include "platform/RegistryKey.h"
#include "platform/Text.h"

namespace ravlin {
namespace {

// Each root's class table, opened once in the 32-bit view; what is beneath is in that view already.
class ClassServers {
 public:
  explicit ClassServers(Platform& platform) : platform_(platform) {
    for (const ClassesRoot& root : DefaultClassesRoots())
      tables_.push_back(std::make_unique<RegistryKey>(platform, root.key, root.path + "\\CLSID",
                                                      kKeyRead | kKeyWow64_32Key));
  }

  // The value naming the class's server; per-user first, as on Windows. "" when none.
  std::string ServerOf(const std::string& clsid) const {
    for (const auto& table : tables_) {
      if (!table->IsOpen()) continue;
      const std::string server =
          RegistryKey(platform_, table->get(), clsid + "\\InprocServer32", kKeyQueryValue | kKeyWow64_32Key)
              .StringValue("");
      if (!server.empty()) return server;
    }
    return {};
  }

 private:
  Platform& platform_;
  std::vector<std::unique_ptr<RegistryKey>> tables_;
};

// The program's file name as the folder lists it, when it was named by its short name; "" when unknown.
std::string LongNameOf(Platform& platform, const std::string& path) {
  return FileNameOf(BufferedText([&](char* buffer, uint32_t size) {
    return platform.GetLongPathNameA(path.c_str(), buffer, size);
  }));
}

// What the control is when it can never be one: the program's file counts under both its names.
NeverAControl NeverAControlOf(const ProgramControl& control, const std::string& programPath,
                              const std::string& longName) {
  const NeverAControl never = NeverAControlFor(control.file, FileNameOf(programPath));
  return never == NeverAControl::No && !longName.empty() ? NeverAControlFor(control.file, longName) : never;
}

ControlState StateOf(Platform& platform, const ClassServers& servers, const FileMatcher& matcher,
                     const ProgramState& program, const ProgramControl& control, const std::string& longName) {
  ControlState state{control, ControlState::Kind::NotFound, {}, {}, NeverAControlOf(control, program.program, longName), {}};
  // Shown in the spelling found, or in the last one tried when none is.
  const std::vector<std::string> spellings = SpellingsOf(control.file);
  state.control.file = spellings.back();
  if (state.never != NeverAControl::No) {
    state.kind = ControlState::Kind::NotAControl;
    return state;
  }
  for (const ControlClass& cls : control.classes) {
    const std::string server = servers.ServerOf(cls.clsid);
    const std::optional<std::string> file = server.empty() ? std::nullopt : matcher.Resolve(server);
    if (!file) continue;  // none, or a value that names no file
    state.registeredTo = *file;
    state.kind = IsOrdinaryFile(platform, state.registeredTo) ? ControlState::Kind::Registered
                                                              : ControlState::Kind::MissingCopy;
    if (state.kind == ControlState::Kind::Registered) return state;
    break;
  }
  for (const std::string& folder : {program.folder, program.systemFolder}) {
    for (const std::string& spelling : spellings) {
      const std::string candidate = folder + "\\" + FileNameOf(spelling);
      if (!IsOrdinaryFile(platform, candidate)) continue;
      state.control.file = spelling;
      state.foundAt = candidate;
      if (state.kind == ControlState::Kind::NotFound) state.kind = ControlState::Kind::Found;
      return state;
    }
  }
  return state;
}

}  // namespace

bool IsIn(const std::string& path, const std::string& folder) {
  return !folder.empty() && Lower(FolderOf(path)) == Lower(folder);
}

ProgramState ReadProgramState(Platform& platform, const std::string& programPath) {
  ProgramState program;
  program.program = programPath;
  program.folder = FolderOf(programPath);
  ProgramControls listed;
  std::vector<std::string> imports;
  {
    PlatformFile file(platform, programPath);
    if (!file.IsOpen()) return program;
    listed = ReadProgramControls(file);
    if (listed.kind != ProgramControls::Kind::NotVisualBasic) imports = ReadImportNames(file);
  }
  program.kind = listed.kind;
  if (listed.kind != ProgramControls::Kind::NotVisualBasic) {
    program.runtime =
        ReadRuntimeState(platform, imports, program.folder, PathRulesFor(platform, kMachineI386).systemFolder);
    program.underWine = RunsUnderWine(platform);
  }
  if (listed.controls.empty()) return program;
  const PathRules rules = PathRulesFor(platform, kMachineI386);
  program.systemFolder = rules.systemFolder;
  const FileMatcher matcher(platform, rules, PathRulesFor(platform, 0), programPath);
  const ClassServers servers(platform);
  const std::string longName = LongNameOf(platform, programPath);
  for (const ProgramControl& control : listed.controls)
    program.controls.push_back(StateOf(platform, servers, matcher, program, control, longName));
  return program;
}

}  // namespace ravlin
