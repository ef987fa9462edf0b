#pragma once

#include <string>

// The seconds that deciding the encoding of every target file of the folder takes (the test
// for a UTF-16 byte order mark included), as the
// analysis decides it: the look at each block read until the decision, and the reading ahead
// that a decision may need. The reading itself is not counted.
struct EncodingTiming {
    double decisions = 0;   // the whole decision, the UTF-16 mark test included
    double utf16Marks = 0;  // the test for a UTF-16 byte order mark alone, on the first block read
};
EncodingTiming TimeEncodingDecisions(const std::string& folder);
