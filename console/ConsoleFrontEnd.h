#pragma once

class CEnvData;

// The `tolvek` command: loads `settings`, runs one job for the path on the command line, shows
// its notices and every failure on standard error, and saves `settings`. Returns the exit
// status: 0 when everything named was analysed and written, 1 when something was not, 2 for a
// usage mistake, 3 with --fail-if-found when a record was written, 128 + the signal when SIGINT
// or SIGTERM stopped the job.
int RunConsole(int argc, char** argv, CEnvData& settings);
