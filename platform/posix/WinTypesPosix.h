#pragma once

#include <cstdint>

typedef int BOOL;
typedef uint32_t DWORD;
typedef unsigned int UINT;
typedef void* HANDLE;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif
