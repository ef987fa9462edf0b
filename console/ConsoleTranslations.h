#pragma once

#include "console/ConsoleOptions.h"

#include <atomic>

class CEnvData;

// --format po|xliff: the texts of the path, one unit per distinct text with all its places,
// written whole to --output (or standard output). Returns the exit status.
int RunTranslationExport(const ConsoleOptions& options, const CEnvData& settings,
                         const std::atomic<bool>& stop);

// --apply TRANSLATIONS PATH: the translations put back into the sources, each file whole or not
// at all; with --dry-run a unified diff instead. Stops between files once `stop` is set. Returns
// the exit status: 0 when everything applied, 1 when anything was refused, in conflict or failed.
int RunTranslationApply(const ConsoleOptions& options, const std::atomic<bool>& stop);
