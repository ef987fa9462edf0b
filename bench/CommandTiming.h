#pragma once

#include <string>

// The best of `runs` timings of the tolvek command (found beside this program) on `folder`, in
// seconds, with its output discarded and its settings in a temporary folder; 0 when it cannot
// be run.
double TimeCommand(const std::string& folder, int runs);
