#pragma once
// The system clock, set from a calendar record in UTC as on the handheld. Setting the clock needs
// privilege (CAP_SYS_TIME); without it the call fails and, as the program does not look at the
// result, nothing else happens. Tests install a hook that receives the record instead.

#include "WinTypes.h"

#include <functional>

namespace platform {

struct SYSTEMTIME {
    WORD wYear = 0;
    WORD wMonth = 0;
    WORD wDayOfWeek = 0; // not used when setting
    WORD wDay = 0;
    WORD wHour = 0;
    WORD wMinute = 0;
    WORD wSecond = 0;
    WORD wMilliseconds = 0;
};

// Sets the clock; FALSE for a record that names no real instant (ERROR_INVALID_PARAMETER) or when
// the system refuses (ERROR_ACCESS_DENIED).
BOOL SetSystemTime(const SYSTEMTIME* utc);

// With a hook set, a valid record goes to the hook (its result is the call's) and the clock is left.
using SystemTimeHook = std::function<BOOL(const SYSTEMTIME&)>;
void SetSystemTimeHook(SystemTimeHook hook);

} // namespace platform
