#pragma once
// Run-time class records of the program's pages: named, schema 0xFFFF, derived from CMyDialog and
// not creatable by name (the main window constructs them).

#include "tessel/MyDialog.h"

#define STAVO_DECLARE_PAGE(cls)                                                                    \
public:                                                                                            \
    static const platform::CRuntimeClass class##cls;                                               \
    const platform::CRuntimeClass* GetRuntimeClass() const override { return &class##cls; }

#define STAVO_IMPLEMENT_PAGE(cls)                                                                  \
    const platform::CRuntimeClass cls::class##cls = {#cls, int(sizeof(cls)), 0xFFFF, nullptr,      \
                                                     &CMyDialog::classCMyDialog};

class CStavoDlg;
