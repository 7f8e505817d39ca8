// The OCX module: its instance handle and the count of what keeps it loaded.
#pragma once

#include <windows.h>

extern HINSTANCE ModuleInstance;

// Live objects, server locks and running fetch threads each hold one lock.
void LockModule();
void UnlockModule();
LONG ModuleLockCount();
