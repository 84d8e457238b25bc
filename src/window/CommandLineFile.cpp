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

// The next argument from at, as Windows splits them: blanks separate, double
// quotes group and go; a quote never closed is kept as typed, so that it
// still names something. False when there is none.
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

}  // namespace

size_t NameCommandLineFile(Toolkit& toolkit, Platform& platform, TextBox& text) {
  const std::string commandLine = toolkit.Command();
  const std::string whole = OrdinaryFile(platform, WithoutEnclosingQuotes(commandLine));
  if (!whole.empty()) {
    text.SetText(whole);
    return 1;
  }
  std::string argument, first;
  size_t files = 0;
  for (size_t at = 0; NextArgument(commandLine, at, argument);)
    if (!IsOption(argument) && files++ == 0) first = argument;
  if (files == 0) return 0;
  const std::string fullPath = OrdinaryFile(platform, first);
  text.SetText(fullPath.empty() ? first : fullPath);
  return files;
}

}  // namespace ravlin
