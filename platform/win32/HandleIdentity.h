#pragma once

#include "platform/Directory.h"

#include <windows.h>

// The volume serial number and file index of an open handle, and its attributes when
// `attributes` is given; false when the system does not tell them.
bool IdentityOf(HANDLE handle, FolderIdentity& identity, DWORD* attributes = nullptr);
