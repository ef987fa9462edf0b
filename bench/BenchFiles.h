#pragma once

#include <string>
#include <vector>

// The file system as the benchmark uses it; one implementation per system, through the system's
// own calls (on Windows the ANSI ones, as the program uses them).

// A new, empty folder in the system's temporary folder.
std::string MakeTempFolder();

// Lists the target files of the folder (and of its subfolders when asked), then opens, reads in
// blocks and closes each one, on this thread; returns the bytes read. The baseline that the
// analysis is compared with.
double ReadAllFiles(const std::string& folder, bool subfolders = false);
