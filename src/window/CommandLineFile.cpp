#include "window/CommandLineFile.h"

#include "inspection/PlatformFile.h"
#include "platform/Arguments.h"
#include "platform/Text.h"

namespace ravlin {
namespace {

// The full path of an ordinary file that argument names; "" for anything else.
std::string OrdinaryFile(Platform& platform, const std::string& argument) {
  const std::string fullPath = FullPathOf(platform, argument);
  return !fullPath.empty() && IsOrdinaryFile(platform, fullPath) ? fullPath : std::string();
}

bool IsOption(const std::string& argument) { return !argument.empty() && argument[0] == '/'; }

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
