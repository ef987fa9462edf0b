#pragma once

class CEnvData;
class LogFile;

// Appends to the log at `logPath` one record, `displayName(line): "text"`, for each text that
// the file at `srcPath` holds between pairs of the delimiter and that passes the extraction
// condition (the delimiter and condition come from `settings`, the job's own copy).
//
// Returns how many lines contain the delimiter; 0 when the source or the log cannot be opened.
// The log is opened, and so created, at the first such line, even when no record follows.
// Runs on a worker thread.
int ExtractStrings(const char* logPath, const char* srcPath, const char* displayName,
                   const CEnvData& settings);

// The same, appending to a log that the caller keeps open across the files of one job.
int ExtractStrings(LogFile& log, const char* srcPath, const char* displayName,
                   const CEnvData& settings);
