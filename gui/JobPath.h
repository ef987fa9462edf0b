#pragma once

#include "platform/Path.h"

// The path that a job is started with, from the text of a drop or of the command line.
//
// Fills `buffer` with `text`, without its enclosing double quotes when it is at least two bytes
// long and both its first and last byte are a double quote. A path that does not fit the
// buffer (more than kMaxPathBytes bytes) is refused: the buffer stays empty, which names nothing,
// so the job ends at once. Returns false for a refused path.
bool CopyJobPath(const char* text, char (&buffer)[kMaxPathBytes + 1]);
