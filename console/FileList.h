#pragma once

#include <string>
#include <vector>

// The names of a list of files, as `git ls-files` or `find` gives them: one a line, or each
// ended by a NUL byte (-z, -print0), which lets a name hold any other byte. Empty names are
// passed by.
std::vector<std::string> SplitFileList(const std::string& list, bool nullSeparated);

// Reads the whole of `path`, or of standard input for "-". False when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes);
