#include "Handle.h"

#include "LastError.h"

#include <cstdint>
#include <map>
#include <mutex>

namespace platform {

namespace {
struct Handles {
    std::mutex mutex;
    std::map<HANDLE, std::unique_ptr<HandleObject>> live;
};

Handles& handles()
{
    static Handles h;
    return h;
}
} // namespace

HANDLE InvalidHandleValue() { return reinterpret_cast<HANDLE>(~std::uintptr_t(0)); }

HANDLE AddHandle(std::unique_ptr<HandleObject> object)
{
    if (!object)
        return nullptr;
    auto& h = handles();
    std::lock_guard<std::mutex> lock(h.mutex);
    HANDLE key = object.get();
    h.live[key] = std::move(object);
    return key;
}

HandleObject* LookupHandle(HANDLE handle)
{
    auto& h = handles();
    std::lock_guard<std::mutex> lock(h.mutex);
    const auto it = h.live.find(handle);
    if (it == h.live.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return it->second.get();
}

BOOL CloseHandle(HANDLE handle)
{
    std::unique_ptr<HandleObject> object;
    {
        auto& h = handles();
        std::lock_guard<std::mutex> lock(h.mutex);
        const auto it = h.live.find(handle);
        if (it == h.live.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        object = std::move(it->second);
        h.live.erase(it);
    }
    object.reset(); // outside the lock: closing a device talks to its driver
    return TRUE;
}

} // namespace platform
