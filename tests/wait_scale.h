#pragma once
// The tests' waits (for a window to appear, a process or a job to end, or for a window that must
// not come) are written for a native machine. ORVELLA_WAIT_SCALE says how many times slower the
// machine that runs them is: a whole number, 1 when unset; the scripts set it for the 32-bit build
// under emulation.

#include <windows.h>

// How long to wait here for what takes up to `nativeMs` on a native machine. INFINITE stays so.
DWORD ScaledMs(DWORD nativeMs);
