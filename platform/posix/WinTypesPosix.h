#pragma once

#include <cstdint>

typedef int BOOL;
typedef uint32_t DWORD;
typedef unsigned int UINT;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef void* HANDLE;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

const UINT WM_APP = 0x8000;

// A window on Linux is an object that handles messages on the thread that owns it.
class MessageReceiver;
typedef MessageReceiver* HWND;
