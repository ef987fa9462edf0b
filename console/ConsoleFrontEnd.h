#pragma once

class CEnvData;

// The `tolvek` command: loads `settings`, runs one job for the path on the command line, shows
// its notices on standard error, waits for its end and saves `settings`. Returns the exit
// status: 0 when the job ran, 1 when the path cannot be analysed, 2 for a usage mistake.
int RunConsole(int argc, char** argv, CEnvData& settings);
