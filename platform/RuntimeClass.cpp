#include "RuntimeClass.h"

#include <algorithm>

namespace platform {

const CRuntimeClass CObject::classCObject = {"CObject", int(sizeof(CObject)), 0xFFFF, nullptr, nullptr};

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const
{
    for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
        if (c == base)
            return true;
    return false;
}

namespace {
std::vector<const CRuntimeClass*>& registry()
{
    static std::vector<const CRuntimeClass*> r;
    return r;
}
} // namespace

void RuntimeClassRegistry::Register(const CRuntimeClass* c)
{
    auto& r = registry();
    if (std::find(r.begin(), r.end(), c) == r.end())
        r.push_back(c);
}

void RuntimeClassRegistry::Unregister(const CRuntimeClass* c)
{
    auto& r = registry();
    r.erase(std::remove(r.begin(), r.end(), c), r.end());
}

const CRuntimeClass* RuntimeClassRegistry::Find(const QString& className)
{
    for (const CRuntimeClass* c : registry())
        if (className == QLatin1String(c->m_lpszClassName))
            return c;
    return nullptr;
}

CObject* RuntimeClassRegistry::CreateObject(const QString& className)
{
    const CRuntimeClass* c = Find(className);
    return c ? c->CreateObject() : nullptr;
}

std::vector<const CRuntimeClass*> RuntimeClassRegistry::All() { return registry(); }

} // namespace platform
