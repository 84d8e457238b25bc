#pragma once
// A file named on the command line: typed in a console, or passed by
// Explorer's "Open with" or a drop on the program's icon.
#include <string>

#include "platform/Controls.h"
#include "platform/Platform.h"
#include "platform/Toolkit.h"

namespace ravlin {

// Names the command line's ordinary file in the text box, by its full path;
// any other command line leaves the text alone.
void NameCommandLineFile(Toolkit& toolkit, Platform& platform, TextBox& text);

}  // namespace ravlin
