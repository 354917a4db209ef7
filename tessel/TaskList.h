#pragma once
// The running processes of the machine with their main window and its title, bringing a process's
// window to the front, and ending a process: by asking its window to close, or else by terminating
// it. Processes come from /proc, windows from the desktop (see platform/DesktopWindows.h). The list
// is a snapshot; before ending a process, KillProcess checks that the number still belongs to the
// process of the snapshot (its start time) and not to one started since under a reused number.

#include "TesselExport.h"

#include <platform/DesktopWindows.h>
#include <platform/WinTypes.h>

#include <cstdint>

struct TASK_LIST {
    platform::DWORD dwProcessId;
    platform::DWORD dwThreadCount;
    platform::DesktopWindowId hwnd; // 0 when the process has no visible window
    char16_t ProcessName[260];      // the executable's file name without folder
    char16_t WindowTitle[64];       // at most 63 characters used
    std::uint64_t ullStartTime;     // when the process started, in clock ticks after boot
};

struct TASK_LIST_ENUM {
    TASK_LIST* tlist;
    platform::DWORD numtasks;
};

// The number of processes now; 0 when /proc cannot be read. Also the room GetTaskListCE(list)
// may then use.
TESSEL_EXPORT platform::DWORD GetTaskCount();
// Fills one record per process, in the order of the process numbers, and returns how many: never
// more than the last GetTaskCount() of this thread returned (0 before any), so that processes
// started in between cannot overrun the caller's array.
TESSEL_EXPORT platform::DWORD GetTaskListCE(TASK_LIST* list);
// The same with the room given.
TESSEL_EXPORT platform::DWORD GetTaskListCE(TASK_LIST* list, platform::DWORD room);
// Gives each process its visible top-level window and that window's title (a later visible window
// of the same process replaces an earlier one).
TESSEL_EXPORT void GetWindowTitles(TASK_LIST_ENUM* enumeration);
// FALSE when the record has no window (or it is gone); otherwise brings it to the front, TRUE.
TESSEL_EXPORT platform::BOOL ActivateProcess(TASK_LIST* task);
// With a window that takes a close request: asks it to close and returns TRUE at once. Otherwise
// terminates the process (SIGKILL; another process's exit code cannot be chosen on Linux) and
// returns whether that worked: FALSE when it has ended or its number now belongs to another process.
TESSEL_EXPORT platform::BOOL KillProcess(TASK_LIST* task);
