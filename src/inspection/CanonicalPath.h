#pragma once
// One spelling for each path, so that two spellings of one file compare equal.
#include <string>

namespace ravlin {

// Resolves what Windows resolves before it opens a path: the "\\?\" prefix
// goes, doubled separators become one, "." and ".." are followed, a segment
// loses its one trailing period and the last one all its trailing periods and
// spaces. Backslashes only; case is kept. Text in, text out.
std::string CanonicalPath(const std::string& path);

}  // namespace ravlin
