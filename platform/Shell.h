#pragma once

// Opening a file in the user's application for it, as the shell's "open" verb does.
// Windows: ShellExecuteA with "open". Linux: the action that the front end chooses (print the
// path, or hand it to xdg-open); nothing until one is chosen. Tests put a recorder in place,
// so that no editor starts during a test run.

typedef void (*OpenFileAction)(const char* path);

void SetOpenFileAction(OpenFileAction action);
// The action in force; may run on a worker thread.
void OpenFileInShell(const char* path);
