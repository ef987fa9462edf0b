// The start-up of tolvek-cli.exe, the command built as a Windows console program: runs the one
// application object with the arguments as the runtime cut them, in the system's code page.
#include "platform/WinApp.h"

int main(int argc, char** argv) { return AfxRunApp("tolvek", "", argc, argv); }
