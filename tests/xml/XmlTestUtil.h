// Small helpers for the XML tests: UTF-8 views of UTF-16 texts so that failures print readably.
#pragma once

#include "XmlEncoding.h"

#include <string>
#include <string_view>

inline std::string U8(std::u16string_view s)
{
    std::string out;
    XmlEncoding::Utf16ToUtf8(s, out);
    return out;
}

inline std::u16string U16(std::string_view s)
{
    std::u16string out;
    XmlEncoding::Utf8ToUtf16(s, out);
    return out;
}
