#pragma once

#include "engine/AnalysisEvents.h"
#include "engine/AnalysisOptions.h"
#include "platform/CString.h"

#include <vector>

// The log's file name, in the folder of the analysed files.
constexpr char kLogFileName[] = "Tolvek.log";

// Scans every target file of one folder (and of its subfolders when the options say so) into the
// folder's log. Hidden and system files, folders and devices are skipped. A relative path is made
// absolute first; the folder becomes the process's current directory. Tells `events` of each file
// before it is read, of what could not be read or written, and of the end.
void AnalyzeFolder(const char* folderPath, const AnalysisOptions& options, AnalysisEvents& events);

// Scans one file, whatever its attributes, into the log of its folder, when its extension makes
// it a target; tells `events` as AnalyzeFolder does.
void AnalyzeFile(const char* filePath, const AnalysisOptions& options, AnalysisEvents& events);

// Scans files of one folder, as a list names them and in its order, into the folder's log, with
// as many threads as a folder's files. Each path is absolute. A file that the target list does
// not name is passed by without a word, as a file named in a list is.
void AnalyzeListedFiles(const std::vector<CString>& filePaths, const AnalysisOptions& options,
                        AnalysisEvents& events);
