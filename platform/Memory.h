#pragma once

// Gives the memory that the program has freed back to the system where the runtime keeps it
// (the C runtime keeps freed blocks for the thread that had them, so a large text freed on one
// thread would still count while another thread holds its own). Costs a walk of the heap: for
// after freeing much at once.
void ReturnFreedMemory();
