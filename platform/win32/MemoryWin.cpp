#include "platform/Memory.h"

#include <malloc.h>

void ReturnFreedMemory() { _heapmin(); }
