#pragma once

#include <string>

// The seconds that deciding the encoding of every target file of the folder takes, as the
// analysis decides it: the look at each block read until the decision, and the reading ahead
// that a decision may need. The reading itself is not counted.
double TimeEncodingDecisions(const std::string& folder);
