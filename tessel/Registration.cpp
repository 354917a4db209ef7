// The library's run-time classes are known to the process exactly while libtessel.so is loaded:
// registered by a static object when the library is loaded, removed when it is unloaded, so that
// no record outlives the code it points into.

#include "MyDialog.h"

#include <platform/RuntimeClass.h>

namespace {

const platform::CRuntimeClass* const kClasses[] = {&CMyDialog::classCMyDialog};

struct Registrar {
    Registrar()
    {
        for (const auto* c : kClasses)
            platform::RuntimeClassRegistry::Register(c);
    }
    ~Registrar()
    {
        for (const auto* c : kClasses)
            platform::RuntimeClassRegistry::Unregister(c);
    }
    Registrar(const Registrar&) = delete;
    Registrar& operator=(const Registrar&) = delete;
};

const Registrar registrar;

} // namespace
