#pragma once
// Key pre-translation as the handheld's message loop does it: before a key reaches the focused
// widget, the application's hook sees it first, then every Window from the focused widget up to its
// top-level window; the first that answers TRUE consumes it.

#include "Window.h"

#include <functional>

namespace platform {

using AppPreTranslate = std::function<BOOL(MSG*)>;

// Installs the router on the application (once); the hook may be null.
void InstallKeyRouter(AppPreTranslate appHook);
void SetAppPreTranslate(AppPreTranslate appHook);

// Runs the pre-translation chain for one key message; TRUE if it was consumed.
BOOL RouteKeyMessage(MSG* msg);

} // namespace platform
