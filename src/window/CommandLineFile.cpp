#include "window/CommandLineFile.h"

#include "platform/Text.h"

namespace ravlin {
namespace {

// The full path of the ordinary file the command line names, or "".
std::string CommandLineFile(Toolkit& toolkit, Platform& platform) {
  std::string argument = toolkit.Command();
  argument.erase(argument.find_last_not_of(" \t") + 1);
  argument = WithoutEnclosingQuotes(argument);
  // A pattern would name whichever file matched it first.
  if (argument.empty() || argument.find_first_of("*?") != std::string::npos) return {};
  const std::string fullPath = BufferedText([&](char* buffer, uint32_t size) {
    return platform.GetFullPathNameA(argument.c_str(), size, buffer, nullptr);
  });
  if (fullPath.empty() || toolkit.Dir(fullPath).empty()) return {};
  return fullPath;
}

}  // namespace

void NameCommandLineFile(Toolkit& toolkit, Platform& platform, TextBox& text) {
  const std::string file = CommandLineFile(toolkit, platform);
  if (!file.empty()) text.SetText(file);
}

}  // namespace ravlin
