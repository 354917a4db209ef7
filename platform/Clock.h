#pragma once
// Time as window timers and waits see it. In real mode it is the monotonic clock and timers are Qt
// timers. In virtual mode (for tests) time stands still until advance() moves it, firing every due
// timer in order, so a test of a 48-second sequence runs in milliseconds and always the same way.

#include "WinTypes.h"

#include <QtGlobal>

namespace platform {

class Window;

class Clock {
public:
    static bool isVirtual();
    // Switch before any timer is started; switching drops the virtual timers.
    static void setVirtual(bool on);

    // Milliseconds on the monotonic (or virtual) clock.
    static qint64 nowMs();

    // Virtual mode: moves time forward by ms, firing due timers in time order and delivering
    // posted messages after each. Real mode: runs the event loop for ms.
    static void advance(qint64 ms);

    // A blocking wait of the program ("wait 200 ms"). Virtual mode: time moves on, no timer fires
    // inside the wait (as none could on the handheld's one thread).
    static void sleep(int ms);

    // Real mode only: every timer period and wait is multiplied by this factor (default 1, or
    // STAVO_TIMER_SCALE from the environment), so process tests can run a 48-second sequence in a
    // fraction of that against a real receiver line.
    static double realScale();
    static void setRealScale(double factor);

    // Used by Window's timers.
    static void startTimer(Window* w, UINT id, UINT periodMs);
    static bool stopTimer(Window* w, UINT id);
    static bool hasTimer(const Window* w, UINT id);
    static void dropTimers(Window* w);
};

} // namespace platform
