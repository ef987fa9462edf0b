#pragma once

// The system's own way to open a file, or nothing. One implementation per system.
void DefaultOpenFileAction(const char* path);
