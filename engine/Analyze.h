#pragma once

#include "platform/WinTypes.h"

class CEnvData;

// The log's file name, in the folder of the analysed files.
constexpr char kLogFileName[] = "Tolvek.log";

// Scans every target file of one folder (not its subfolders) into the folder's log, telling
// `window` the name of each file before it is read. Hidden and system files, folders and devices
// are skipped. A relative path is made absolute first; the folder becomes the process's current
// directory. Opens the log in the shell when any file had a line with the delimiter.
void AnalyzeFolder(const char* folderPath, HWND window, const CEnvData& settings);

// Scans one file, whatever its attributes, into the log of its folder, when its extension makes
// it a target. Opens the log in the shell when the file had a line with the delimiter.
void AnalyzeFile(const char* filePath, HWND window, const CEnvData& settings);
