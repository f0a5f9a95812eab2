#include "platform/sync.h"

// The mutex lives in the structure and is ready when the structure is made: initialising
// and deleting have nothing left to do.
void InitializeCriticalSection(CRITICAL_SECTION*) {}
void DeleteCriticalSection(CRITICAL_SECTION*) {}

void EnterCriticalSection(CRITICAL_SECTION* section)
{
    if (section)
        section->mutex.lock();
}

void LeaveCriticalSection(CRITICAL_SECTION* section)
{
    if (section)
        section->mutex.unlock();
}
