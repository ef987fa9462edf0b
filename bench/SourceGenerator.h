#pragma once

#include <string>

// A folder of C and C++ sources that look like real ones: code, comments in English and
// Shift_JIS, literals at a realistic density (some Shift_JIS, some with escapes), a fifth of the
// files with CR LF line ends, a few lines over 100 KB, and some files that are not targets.
struct GeneratedSet {
    int files = 0;       // target files
    double bytes = 0;    // bytes of the target files
    int longLines = 0;
    bool written = true; // false when a file could not be written: the set is incomplete
};

// Writes files until `files` of them are targets.
GeneratedSet GenerateSourceFolder(const std::string& folder, int files);

// A tree of `files` small target files (a dozen lines each), twenty to a folder, in folders three
// levels below `folder`: d0/d0/d0, d0/d0/d1, and so on.
GeneratedSet GenerateSourceTree(const std::string& folder, int files);

// A file of `lines` lines of `lineBytes` bytes each, literals throughout. Returns its size.
double GenerateLongLineFile(const std::string& path, int lines, int lineBytes);

// A file of one line that holds one literal of `bytes` bytes. Returns its size.
double GenerateOneLongLiteral(const std::string& path, size_t bytes);

// A file of one line that holds `count` short literals. Returns its size.
double GenerateManyLiteralsInOneLine(const std::string& path, size_t count);
