#include "window/CommandLineFile.h"

#include "inspection/PlatformFile.h"
#include "platform/Text.h"

namespace ravlin {

// The same test of the file as Register's: a pattern, a folder or a missing
// file names none.
void NameCommandLineFile(Toolkit& toolkit, Platform& platform, TextBox& text) {
  const std::string argument = WithoutEnclosingQuotes(toolkit.Command());
  const std::string fullPath = BufferedText([&](char* buffer, uint32_t size) {
    return platform.GetFullPathNameA(argument.c_str(), size, buffer, nullptr);
  });
  if (!fullPath.empty() && IsOrdinaryFile(platform, fullPath)) text.SetText(fullPath);
}

}  // namespace ravlin
