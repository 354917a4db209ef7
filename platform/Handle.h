#pragma once
// Handles of system objects (devices, events): opaque pointers that are checked against the set of
// live handles before use, so a closed or made-up handle fails with ERROR_INVALID_HANDLE instead of
// touching freed memory.

#include "LastError.h"
#include "WinTypes.h"

#include <memory>

namespace platform {

class HandleObject {
public:
    virtual ~HandleObject() = default;
};

using HANDLE = HandleObject*;

// The value a failed CreateFile returns (events return null instead).
HANDLE InvalidHandleValue();
#define INVALID_HANDLE_VALUE (::platform::InvalidHandleValue())

// Makes an object a live handle; the handle owns it until CloseHandle.
HANDLE AddHandle(std::unique_ptr<HandleObject> object);

// The live object behind a handle if it is of type T, else null (last error ERROR_INVALID_HANDLE).
HandleObject* LookupHandle(HANDLE h);
template <class T> T* HandleAs(HANDLE h)
{
    T* object = dynamic_cast<T*>(LookupHandle(h));
    if (!object)
        SetLastError(ERROR_INVALID_HANDLE);
    return object;
}

// Closes any handle; FALSE (ERROR_INVALID_HANDLE) for one that is not live.
BOOL CloseHandle(HANDLE h);

} // namespace platform
