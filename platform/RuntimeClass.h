#pragma once
// Run-time class records: a class name, a schema number, an optional creation function and the base
// class. Libraries register their records with the process-wide registry when they are loaded and
// remove them when unloaded, so an object can be created by class name.

#include "WinTypes.h"

#include <QString>

#include <vector>

namespace platform {

class CObject;

struct CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* m_pBaseClass;

    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
    bool IsDerivedFrom(const CRuntimeClass* base) const;
};

// Root of the classes that carry a run-time class record.
class CObject {
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    bool IsKindOf(const CRuntimeClass* c) const { return GetRuntimeClass()->IsDerivedFrom(c); }
    static const CRuntimeClass classCObject;
};

class RuntimeClassRegistry {
public:
    static void Register(const CRuntimeClass* c);
    static void Unregister(const CRuntimeClass* c);
    static const CRuntimeClass* Find(const QString& className);
    // A new object of the named class, or null when unknown or not creatable.
    static CObject* CreateObject(const QString& className);
    static std::vector<const CRuntimeClass*> All();
};

} // namespace platform
