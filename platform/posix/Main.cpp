// The start-up of the Linux command: runs the one application object.
#include "platform/WinApp.h"

int main(int argc, char** argv) { return AfxRunApp("tolvek", "", argc, argv); }
