#include "platform/Processor.h"

bool ProcessorHasSse2()
{
#if defined(__x86_64__)
    return true;
#elif defined(__i386__)
    return __builtin_cpu_supports("sse2") != 0;
#else
    return false;
#endif
}
