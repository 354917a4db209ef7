#pragma once
// Waiting in a test that runs the program's event loop: the loop keeps running (timers, sockets,
// the receiver's notices) while the test polls, with a deadline generous enough for a loaded machine.

#include <QElapsedTimer>
#include <QTest>

// Runs the event loop until pred holds or ms pass; whether it holds then.
template <class Pred> bool WaitUntil(Pred pred, int ms = 15000)
{
    QElapsedTimer t;
    t.start();
    while (!pred() && t.elapsed() < ms)
        QTest::qWait(10);
    return pred();
}
