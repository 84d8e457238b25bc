#pragma once
// A file named on the command line: typed in a console, or passed by
// Explorer's "Open with" or a drop on the program's icon.
#include <cstddef>

#include "platform/Controls.h"
#include "platform/Platform.h"
#include "platform/Toolkit.h"

namespace ravlin {

// Puts the command line's first file in the text box, by its full path when
// it names an ordinary file and as given otherwise, so that Register says
// what is wrong with it; arguments starting with "/" are options, not files.
// A whole command line naming a file is one file, even unquoted with blanks.
// Returns how many files the command line named.
size_t NameCommandLineFile(Toolkit& toolkit, Platform& platform, TextBox& text);

}  // namespace ravlin
