#include "cli/SilentRequest.h"

#include <vector>

#include "platform/Arguments.h"
#include "platform/Text.h"
#include "texts/CommandLineTexts.h"

namespace ravlin {
namespace {

struct Switches {
  bool silent = false, undo = false, manifest = false, companion = false, list = false, outPending = false;
  std::string unknown;  // the first switch not understood
};

// False for an argument that is no switch.
bool TakeSwitch(const std::string& argument, Switches& switches) {
  if (argument.empty() || argument[0] != '/') return false;
  const std::string name = Lower(argument);
  if (name == "/s") switches.silent = true;
  else if (name == "/u") switches.undo = true;
  else if (name == "/manifest") switches.manifest = true;
  else if (name == "/companion") switches.companion = true;
  else if (name == "/list") switches.list = true;
  else if (name == "/out") switches.outPending = true;
  else if (switches.unknown.empty()) switches.unknown = argument;
  return true;
}

// What is wrong with a silent command line; "" when nothing is.
std::string ProblemOf(const Switches& s, const std::vector<std::string>& files) {
  if (!s.unknown.empty()) return UnknownSwitchText(s.unknown);
  if (s.outPending) return text::kNoFileAfterOut;
  if (s.silent && s.list) return text::kSilentAndList;
  if (s.list && (s.undo || s.manifest || s.companion)) return text::kListTakesOut;
  if (s.manifest && (s.undo || s.companion)) return text::kManifestAlone;
  if (s.companion && !files.empty()) return text::kCompanionAlone;
  if (!s.companion && files.empty()) return text::kNoFileNamed;
  if (files.size() > 1) return TwoFilesText(files[0], files[1]);
  return {};
}

SilentRequest::Mode ModeOf(const Switches& s) {
  if (s.list) return SilentRequest::Mode::List;
  if (s.manifest) return SilentRequest::Mode::Manifest;
  return s.undo ? SilentRequest::Mode::Unregister : SilentRequest::Mode::Register;
}

}  // namespace

SilentRequest ReadSilentRequest(const std::string& commandLine) {
  Switches switches;
  std::vector<std::string> files;
  SilentRequest request;
  std::string argument;
  for (size_t at = 0; NextArgument(commandLine, at, argument);) {
    if (switches.outPending) {
      request.out = argument;
      switches.outPending = false;
    } else if (!TakeSwitch(argument, switches)) {
      files.push_back(argument);
    }
  }
  if (!switches.silent && !switches.list) return {};
  request.problem = ProblemOf(switches, files);
  request.mode = request.problem.empty() ? ModeOf(switches) : SilentRequest::Mode::Usage;
  request.companion = switches.companion;
  if (!files.empty()) request.file = files[0];
  return request;
}

}  // namespace ravlin
