#pragma once
// The spellings a name in a program's table may have. Visual Basic stored
// names in the code page of the machine that built the program; this program
// works in UTF-8, so a Western name (Windows-1252) is read both ways.
#include <string>
#include <vector>

namespace ravlin {

// The name itself, its bytes that are not UTF-8 read as U+FFFD (as the
// platform reads them); and, when it is not UTF-8, its Windows-1252 reading,
// last. Each spelling is UTF-8.
std::vector<std::string> SpellingsOf(const std::string& name);

}  // namespace ravlin
