#pragma once
// The desktop's top-level application windows: which process owns each, its title, bringing one to
// the front and asking one to close. Read from the X11 display named by DISPLAY (an X desktop, or
// XWayland's windows under Wayland); where no display is reachable there are no windows, and every
// process counts as windowless.

#include <QString>

#include <cstdint>
#include <vector>

namespace platform {

using DesktopWindowId = std::uintptr_t; // 0: no window

struct DesktopWindow {
    DesktopWindowId id = 0;
    long long pid = -1; // -1 when the window does not say
    QString title;
    bool visible = false; // shown by its application: on the screen, minimised or on another workspace
};

// The windows in the desktop's order (the window manager's client list, else the stacking order
// bottom first); false when no desktop can be reached.
bool ListDesktopWindows(std::vector<DesktopWindow>& windows);
// The process that owns the window, -1 when the window is gone or does not say.
long long DesktopWindowProcess(DesktopWindowId id);
// Maps, raises and focuses the window; false when it is gone.
bool ActivateDesktopWindow(DesktopWindowId id);
// Asks the window to close, as its close button does; false when it is gone or takes no such request.
bool CloseDesktopWindow(DesktopWindowId id);

} // namespace platform
