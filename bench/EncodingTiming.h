#pragma once

#include <string>

// The seconds that deciding the encoding of every target file of the folder takes (the test
// for a UTF-16 byte order mark included), as the
// analysis decides it: the look at each block read until the decision, and the reading ahead
// that a decision may need. The reading itself is not counted.
double TimeEncodingDecisions(const std::string& folder);
