#include "SystemTime.h"

#include "LastError.h"

#include <QDate>

#include <ctime>
#include <mutex>

namespace platform {

namespace {
struct HookState {
    std::mutex mutex;
    SystemTimeHook hook;
};

HookState& hookState()
{
    static HookState s;
    return s;
}

bool valid(const SYSTEMTIME& t)
{
    return t.wYear >= 1601 && t.wYear <= 30827 && QDate::isValid(t.wYear, t.wMonth, t.wDay) && t.wHour < 24
           && t.wMinute < 60 && t.wSecond < 60 && t.wMilliseconds < 1000;
}
} // namespace

void SetSystemTimeHook(SystemTimeHook hook)
{
    auto& s = hookState();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.hook = std::move(hook);
}

BOOL SetSystemTime(const SYSTEMTIME* utc)
{
    if (!utc || !valid(*utc)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    SystemTimeHook hook;
    {
        auto& s = hookState();
        std::lock_guard<std::mutex> lock(s.mutex);
        hook = s.hook;
    }
    if (hook)
        return hook(*utc);
    const qint64 days = QDate(1970, 1, 1).daysTo(QDate(utc->wYear, utc->wMonth, utc->wDay));
    timespec ts {};
    ts.tv_sec = time_t(days * 86400 + utc->wHour * 3600 + utc->wMinute * 60 + utc->wSecond);
    ts.tv_nsec = long(utc->wMilliseconds) * 1000000L;
    if (clock_settime(CLOCK_REALTIME, &ts) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

} // namespace platform
