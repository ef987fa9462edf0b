#pragma once

#include "engine/AnalysisOptions.h"

#include <string>

// The format that a file of records is in, told by its first line: a csv file begins with the
// byte order mark or its header, a jsonl file with an object, anything else is a log. Appending
// records of one format to a file of another would leave a file that no reader takes.
RecordFormatKind FormatOfFirstLine(const std::string& line);

// The format's name, as --format takes it.
const char* FormatName(RecordFormatKind kind);
