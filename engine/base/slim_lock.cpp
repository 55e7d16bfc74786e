// The slim lock and condition variable come with Windows Vista, like the cryptography the
// program links to; the rest of the program is built against the older headers.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#include "slim_lock.h"

#include <windows.h>

static_assert(sizeof(SRWLOCK) == sizeof(void*), "a slim lock is one pointer");
static_assert(sizeof(CONDITION_VARIABLE) == sizeof(void*), "a condition variable is one pointer");

void SlimMutex::lock() { AcquireSRWLockExclusive(reinterpret_cast<PSRWLOCK>(&lock_)); }

void SlimMutex::unlock() { ReleaseSRWLockExclusive(reinterpret_cast<PSRWLOCK>(&lock_)); }

void SlimCondition::wait(std::unique_lock<SlimMutex>& hold)
{
    SleepConditionVariableSRW(reinterpret_cast<PCONDITION_VARIABLE>(&condition_),
                              reinterpret_cast<PSRWLOCK>(&hold.mutex()->lock_), INFINITE, 0);
}

void SlimCondition::notify_all()
{
    WakeAllConditionVariable(reinterpret_cast<PCONDITION_VARIABLE>(&condition_));
}
