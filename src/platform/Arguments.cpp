#include "platform/Arguments.h"

namespace ravlin {

bool NextArgument(const std::string& commandLine, size_t& at, std::string& argument) {
  at = commandLine.find_first_not_of(" \t", at);
  if (at == std::string::npos) return false;
  argument.clear();
  bool quoted = false;
  size_t opened = 0;
  for (; at < commandLine.size() && (quoted || (commandLine[at] != ' ' && commandLine[at] != '\t')); ++at) {
    if (commandLine[at] != '"') {
      argument += commandLine[at];
      continue;
    }
    quoted = !quoted;
    if (quoted) opened = argument.size();
  }
  if (quoted) argument.insert(opened, 1, '"');
  return true;
}

}  // namespace ravlin
