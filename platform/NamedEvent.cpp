#include "NamedEvent.h"

#include "Clock.h"
#include "LastError.h"
#include "LocalName.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <semaphore.h>

namespace platform {

namespace {

class EventHandle : public HandleObject {
public:
    sem_t* sem = SEM_FAILED;
    QByteArray name;
    bool creator = false;

    ~EventHandle() override
    {
        if (sem != SEM_FAILED)
            sem_close(sem);
        if (creator)
            sem_unlink(name.constData());
    }
};

HANDLE open(const QString& name, bool create, BOOL initialState)
{
    if (name.isEmpty() || name.size() > 260) {
        SetLastError(ERROR_INVALID_PARAMETER); // unnamed events have no use across processes here
        return nullptr;
    }
    auto h = std::make_unique<EventHandle>();
    h->name = SemaphoreName(name);
    if (create) {
        h->sem = sem_open(h->name.constData(), O_CREAT | O_EXCL, 0600, initialState ? 1u : 0u);
        h->creator = h->sem != SEM_FAILED;
    }
    bool existed = false;
    if (h->sem == SEM_FAILED) {
        h->sem = sem_open(h->name.constData(), 0);
        existed = h->sem != SEM_FAILED;
    }
    if (h->sem == SEM_FAILED) {
        SetLastError(errno == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);
        return nullptr;
    }
    SetLastError(existed && create ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return AddHandle(std::move(h));
}

} // namespace

HANDLE CreateEvent(void*, BOOL manualReset, BOOL initialState, const QString& name)
{
    if (manualReset) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    return open(name, true, initialState);
}

HANDLE OpenEvent(DWORD, BOOL, const QString& name) { return open(name, false, FALSE); }

BOOL SetEvent(HANDLE event)
{
    auto* h = HandleAs<EventHandle>(event);
    if (!h)
        return FALSE;
    // Signalled is a state, not a count: a second SetEvent before a wait changes nothing.
    int value = 0;
    if (sem_getvalue(h->sem, &value) == 0 && value > 0)
        return TRUE;
    return sem_post(h->sem) == 0 ? TRUE : FALSE;
}

DWORD WaitForSingleObject(HANDLE event, DWORD ms)
{
    auto* h = HandleAs<EventHandle>(event);
    if (!h)
        return WAIT_FAILED;
    if (ms == INFINITE) {
        while (sem_wait(h->sem) != 0)
            if (errno != EINTR)
                return WAIT_FAILED;
        return WAIT_OBJECT_0;
    }
    if (Clock::isVirtual()) {
        if (sem_trywait(h->sem) == 0)
            return WAIT_OBJECT_0;
        Clock::sleep(int(ms));
        return sem_trywait(h->sem) == 0 ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
    }
    const double scaled = std::max(0.0, double(ms) * Clock::realScale());
    timespec until {};
    clock_gettime(CLOCK_MONOTONIC, &until);
    const long long ns = (long long)until.tv_nsec + (long long)(std::fmod(scaled, 1000.0) * 1e6);
    until.tv_sec += time_t(scaled / 1000.0) + time_t(ns / 1000000000LL);
    until.tv_nsec = long(ns % 1000000000LL);
    for (;;) {
        if (sem_clockwait(h->sem, CLOCK_MONOTONIC, &until) == 0)
            return WAIT_OBJECT_0;
        if (errno == ETIMEDOUT)
            return WAIT_TIMEOUT;
        if (errno != EINTR)
            return WAIT_FAILED;
    }
}

} // namespace platform
