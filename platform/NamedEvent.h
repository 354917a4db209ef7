#pragma once
// Named events shared between processes, as the handheld's: an automatic-reset event is signalled by
// SetEvent and released by the one wait that takes it. Built on POSIX semaphores named after the
// data folder (LocalName.h). The process that created an event removes its name when it closes
// the handle, so a late signal from another process cannot be left behind for the next run.

#include "Handle.h"
#include "WinTypes.h"

#include <QString>

namespace platform {

constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
constexpr DWORD INFINITE = 0xFFFFFFFF;

// Creates the event, or opens it when it exists (last error ERROR_ALREADY_EXISTS, state kept).
// Only automatic-reset events are made; null on failure.
HANDLE CreateEvent(void* security, BOOL manualReset, BOOL initialState, const QString& name);
// Opens an existing event; null (ERROR_FILE_NOT_FOUND) when there is none.
HANDLE OpenEvent(DWORD access, BOOL inherit, const QString& name);
BOOL SetEvent(HANDLE event);

// Waits up to ms (multiplied by the real-clock scale, as every wait of the program; in virtual time
// the wait takes no real time and moves the clock on by ms when nothing signalled the event).
DWORD WaitForSingleObject(HANDLE event, DWORD ms);

constexpr DWORD EVENT_ALL_ACCESS = 0x1F0003;

} // namespace platform
