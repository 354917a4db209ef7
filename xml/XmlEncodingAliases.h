#pragma once

#include <cstddef>

struct XmlAlias
{
    const char* pszName;
    int nCodePage;
};

extern const XmlAlias kXmlAliases[];
extern const size_t kXmlAliasCount;
