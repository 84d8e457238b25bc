#include "window/CommandLineFile.h"

#include "inspection/PlatformFile.h"
#include "platform/Text.h"

namespace ravlin {
namespace {

// The full path of an ordinary file that argument names; "" for anything else.
std::string OrdinaryFile(Platform& platform, const std::string& argument) {
  const std::string fullPath = BufferedText([&](char* buffer, uint32_t size) {
    return platform.GetFullPathNameA(argument.c_str(), size, buffer, nullptr);
  });
  return !fullPath.empty() && IsOrdinaryFile(platform, fullPath) ? fullPath : std::string();
}

bool IsOption(const std::string& argument) { return !argument.empty() && argument[0] == '/'; }

}  // namespace

std::vector<std::string> CommandLineArguments(const std::string& commandLine) {
  std::vector<std::string> arguments;
  size_t at = 0;
  for (;;) {
    at = commandLine.find_first_not_of(" \t", at);
    if (at == std::string::npos) return arguments;
    std::string argument;
    bool quoted = false;
    size_t opened = 0;
    for (; at < commandLine.size() && (quoted || (commandLine[at] != ' ' && commandLine[at] != '\t')); ++at) {
      if (commandLine[at] != '"') {
        argument += commandLine[at];
      } else {
        quoted = !quoted;
        if (quoted) opened = argument.size();
      }
    }
    if (quoted) argument.insert(opened, 1, '"');  // never closed: kept as typed
    arguments.push_back(argument);
  }
}

size_t NameCommandLineFile(Toolkit& toolkit, Platform& platform, TextBox& text) {
  const std::string commandLine = toolkit.Command();
  const std::string whole = OrdinaryFile(platform, WithoutEnclosingQuotes(commandLine));
  if (!whole.empty()) {
    text.SetText(whole);
    return 1;
  }
  std::vector<std::string> files;
  for (const std::string& argument : CommandLineArguments(commandLine))
    if (!IsOption(argument)) files.push_back(argument);
  if (files.empty()) return 0;
  const std::string first = OrdinaryFile(platform, files.front());
  text.SetText(first.empty() ? files.front() : first);
  return files.size();
}

}  // namespace ravlin
