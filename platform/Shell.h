#pragma once

// Opening a file in the user's application for it, as the shell's "open" verb does.
// Windows: ShellExecuteA with "open" and a normal window. Linux: xdg-open, waited for.

typedef bool (*OpenFileAction)(const char* path);

// True when the file was handed over (Windows: its result is not known, so always true).
bool OpenFileInShell(const char* path);
