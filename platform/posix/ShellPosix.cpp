#include "platform/ShellDefault.h"

// A command has no desktop of its own: its front end chooses what opening means.
void DefaultOpenFileAction(const char*) {}
