// The OCX module: its instance handle and the count of what keeps it loaded.
#pragma once

#include <windows.h>

extern HINSTANCE ModuleInstance;

// Live objects, server locks and running fetch threads each hold one lock.
void LockModule();
void UnlockModule();
LONG ModuleLockCount();

// One lock for as long as it lives.
class TModuleLock {
public:
  TModuleLock() { LockModule(); }
  ~TModuleLock() { UnlockModule(); }
  TModuleLock(const TModuleLock&) = delete;
  TModuleLock& operator=(const TModuleLock&) = delete;
};
