#include "platform/Processor.h"

#include <windows.h>

bool ProcessorHasSse2()
{
#if defined(__x86_64__)
    return true;
#else
    return IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE) != FALSE;
#endif
}
