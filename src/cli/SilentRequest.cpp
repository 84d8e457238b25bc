#include "cli/SilentRequest.h"

#include <cctype>

#include "platform/Arguments.h"
#include "texts/CommandLineTexts.h"

namespace ravlin {
namespace {

// The switches as bits, in the order of their names.
enum : unsigned {
  kSilent = 1, kUndo = 2, kManifest = 4, kCompanion = 8, kList = 16, kOut = 32, kInstall = 64, kTo = 128, kReplace = 256
};
constexpr const char* kSwitchNames[] = {"/s", "/u", "/manifest", "/companion", "/list", "/out", "/install", "/to", "/replace"};

// A switch starts with a slash or, as regsvr32 also takes it, a hyphen.
bool IsSwitch(const std::string& argument) { return !argument.empty() && (argument[0] == '/' || argument[0] == '-'); }

// Whether argument is name in any case, past its first character.
bool IsNamed(const std::string& argument, const char* name) {
  size_t i = 1;
  for (; i < argument.size() && name[i]; ++i)
    if (std::tolower(static_cast<unsigned char>(argument[i])) != name[i]) return false;
  return i == argument.size() && !name[i];
}

// 0 for a switch not understood.
unsigned SwitchOf(const std::string& argument) {
  for (unsigned i = 0; i < sizeof kSwitchNames / sizeof *kSwitchNames; ++i)
    if (IsNamed(argument, kSwitchNames[i])) return 1u << i;
  return 0;
}

// What is wrong with a silent command line; null when nothing is. kOut
// still set means /out came last, with no file after it.
const char* ProblemOf(unsigned switches, size_t files, const std::string& to) {
  const auto has = [switches](unsigned these) { return (switches & these) != 0; };
  if (has(kOut)) return text::kNoFileAfterOut;
  if (has(kTo)) return text::kNoFolderAfterTo;
  if (has(kInstall) && has(kManifest | kCompanion)) return text::kInstallAlone;
  if (has(kSilent) && has(kList)) return text::kSilentAndList;
  if (has(kList) && has(kUndo | kManifest | kCompanion)) return text::kListTakesOut;
  if (!has(kInstall) && !to.empty()) return text::kToTakesInstall;
  if (has(kReplace) && (!has(kInstall) || has(kUndo))) return text::kReplaceTakesInstall;
  if (has(kManifest) && has(kUndo | kCompanion)) return text::kManifestAlone;
  if (has(kCompanion)) return files == 0 ? nullptr : text::kCompanionAlone;
  if (files == 0) return text::kNoFileNamed;
  return files > 1 ? text::kTwoFiles : nullptr;
}

}  // namespace

SilentRequest ReadSilentRequest(const std::string& commandLine) {
  using Mode = SilentRequest::Mode;
  SilentRequest request;
  unsigned switches = 0;
  size_t files = 0, outs = 0;
  std::string unknown, argument;
  for (size_t at = 0; NextArgument(commandLine, at, argument);) {
    if (switches & kOut) {
      if (outs++ == 0) request.out = argument;
      switches &= ~kOut;
    } else if (switches & kTo) {
      request.to = argument;
      switches &= ~kTo;
    } else if (!IsSwitch(argument)) {
      if (files++ == 0) request.file = argument;
    } else if (const unsigned known = SwitchOf(argument)) {
      switches |= known;
    } else if (unknown.empty()) {
      unknown = argument;
    }
  }
  // A switch not understood never opens the window: a script would wait for it.
  if ((switches & (kSilent | kList)) == 0 && unknown.empty()) return {};
  const char* problem = ProblemOf(switches, files, request.to);
  if (!unknown.empty()) request.problem = text::kUnknownSwitch + unknown;
  else if (problem) request.problem = problem;
  else if (outs > 1) request.problem = text::kTwoReports;
  request.companion = (switches & kCompanion) != 0;
  request.install = (switches & kInstall) != 0;
  request.replace = (switches & kReplace) != 0;
  request.mode = !request.problem.empty() ? Mode::Usage
                 : (switches & kList)     ? Mode::List
                 : (switches & kManifest) ? Mode::Manifest
                 : (switches & kUndo)     ? Mode::Unregister
                                          : Mode::Register;
  return request;
}

}  // namespace ravlin
