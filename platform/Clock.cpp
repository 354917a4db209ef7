#include "Clock.h"

#include "Window.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <map>
#include <utility>

namespace platform {

namespace {

struct VirtualTimer {
    UINT period = 0;
    qint64 due = 0;
    quint64 order = 0; // start order, so timers due at the same moment fire as they were started
};

double environmentScale()
{
    bool ok = false;
    const double f = qEnvironmentVariable("STAVO_TIMER_SCALE").toDouble(&ok);
    return ok && f >= 0.001 && f <= 1000 ? f : 1.0;
}

struct ClockState {
    bool isVirtual = false;
    double scale = environmentScale();
    qint64 virtualNow = 0;
    quint64 nextOrder = 0;
    QElapsedTimer real;
    std::map<std::pair<Window*, UINT>, VirtualTimer> virtualTimers;
    std::map<std::pair<const Window*, UINT>, QPointer<QTimer>> realTimers;
    ClockState() { real.start(); }
};

ClockState& state()
{
    static ClockState s;
    return s;
}

} // namespace

bool Clock::isVirtual() { return state().isVirtual; }

void Clock::setVirtual(bool on)
{
    auto& s = state();
    s.isVirtual = on;
    s.virtualTimers.clear();
}

qint64 Clock::nowMs()
{
    auto& s = state();
    return s.isVirtual ? s.virtualNow : s.real.elapsed();
}

void Clock::advance(qint64 ms)
{
    auto& s = state();
    if (!s.isVirtual) {
        QEventLoop loop;
        QTimer::singleShot(int(ms), &loop, &QEventLoop::quit);
        loop.exec();
        return;
    }
    const qint64 target = s.virtualNow + ms;
    QCoreApplication::sendPostedEvents();
    for (;;) {
        auto next = s.virtualTimers.end();
        for (auto it = s.virtualTimers.begin(); it != s.virtualTimers.end(); ++it) {
            if (it->second.due > target)
                continue;
            if (next == s.virtualTimers.end() || it->second.due < next->second.due
                || (it->second.due == next->second.due && it->second.order < next->second.order))
                next = it;
        }
        if (next == s.virtualTimers.end())
            break;
        Window* w = next->first.first;
        const UINT id = next->first.second;
        if (next->second.due > s.virtualNow)
            s.virtualNow = next->second.due;
        next->second.due = s.virtualNow + std::max<qint64>(1, next->second.period);
        w->WindowProc(WM_TIMER, id, 0);
        QCoreApplication::sendPostedEvents();
    }
    s.virtualNow = target;
    QCoreApplication::sendPostedEvents();
}

void Clock::sleep(int ms)
{
    auto& s = state();
    if (s.isVirtual)
        s.virtualNow += ms;
    else
        QThread::msleep(ulong(std::max(0.0, ms * s.scale)));
}

double Clock::realScale() { return state().scale; }

void Clock::setRealScale(double factor) { state().scale = factor > 0 ? factor : 1.0; }

void Clock::startTimer(Window* w, UINT id, UINT periodMs)
{
    auto& s = state();
    if (s.isVirtual) {
        auto& t = s.virtualTimers[{w, id}];
        t.period = periodMs;
        t.due = s.virtualNow + periodMs;
        t.order = s.nextOrder++;
        return;
    }
    QPointer<QTimer>& t = s.realTimers[{w, id}];
    if (!t) {
        t = new QTimer(w->widget());
        t->setTimerType(Qt::PreciseTimer);
        QObject::connect(t, &QTimer::timeout, w->widget(), [w, id] { w->WindowProc(WM_TIMER, id, 0); });
    }
    t->start(int(std::max<double>(1.0, periodMs * s.scale)));
}

bool Clock::stopTimer(Window* w, UINT id)
{
    auto& s = state();
    if (s.isVirtual)
        return s.virtualTimers.erase({w, id}) > 0;
    auto it = s.realTimers.find({w, id});
    if (it == s.realTimers.end())
        return false;
    delete it->second;
    s.realTimers.erase(it);
    return true;
}

bool Clock::hasTimer(const Window* w, UINT id)
{
    auto& s = state();
    if (s.isVirtual)
        return s.virtualTimers.count({const_cast<Window*>(w), id}) > 0;
    return s.realTimers.count({w, id}) > 0;
}

void Clock::dropTimers(Window* w)
{
    auto& s = state();
    for (auto it = s.virtualTimers.begin(); it != s.virtualTimers.end();)
        it = it->first.first == w ? s.virtualTimers.erase(it) : std::next(it);
    for (auto it = s.realTimers.begin(); it != s.realTimers.end();) {
        if (it->first.first == w) {
            delete it->second;
            it = s.realTimers.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace platform
