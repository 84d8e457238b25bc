#include "window/CommandLineFile.h"

#include "platform/Text.h"
#include "registration/Engine.h"

namespace ravlin {

// The same test of the file as Register's; a pattern names none.
void NameCommandLineFile(Toolkit& toolkit, Platform& platform, TextBox& text) {
  std::string argument = toolkit.Command();
  argument.erase(argument.find_last_not_of(" \t") + 1);
  const std::string file = CheckedPathOf(platform, WithoutEnclosingQuotes(argument));
  if (!file.empty()) text.SetText(file);
}

}  // namespace ravlin
