#include "MyChar.h"

#include "StdioFileEx.h"

#include <cstring>
#include <string>

CMyChar::CMyChar(const char16_t* text) { convert(text); }

CMyChar::CMyChar(const QString& text) { convert(reinterpret_cast<const char16_t*>(text.utf16())); }

CMyChar::CMyChar(const char* text)
{
    const size_t n = text ? std::strlen(text) : 0;
    m_buf = std::make_unique<char[]>(n + 1);
    if (n)
        std::memcpy(m_buf.get(), text, n);
}

CMyChar::~CMyChar() = default;

void CMyChar::convert(const char16_t* text)
{
    // Sized from what the conversion needs: a Chinese character is 3 bytes in UTF-8, not 2.
    const int need = CStdioFileEx::GetRequiredMultiByteLengthForUnicodeString(text);
    m_buf = std::make_unique<char[]>(size_t(need > 0 ? need : 1));
    if (need > 1)
        CStdioFileEx::GetMultiByteStringFromUnicodeString(text, m_buf.get(), need);
}

int CMyChar::GetLength() const { return int(std::strlen(m_buf.get())); }

CMyWchar::CMyWchar(const char* text)
{
    const size_t n = text ? std::strlen(text) : 0;
    // One wide character per byte is enough for every code page in use; twice that for any other.
    for (size_t room : {n + 1, 2 * n + 1}) {
        m_buf = std::make_unique<char16_t[]>(room);
        if (n == 0 || room > size_t(INT32_MAX) ||
            CStdioFileEx::GetUnicodeStringFromMultiByteString(text, m_buf.get(), int(room)) > 0)
            break;
    }
}

CMyWchar::CMyWchar(const char16_t* text)
{
    const size_t n = text ? std::char_traits<char16_t>::length(text) : 0;
    m_buf = std::make_unique<char16_t[]>(n + 1);
    if (n)
        std::memcpy(m_buf.get(), text, n * sizeof(char16_t));
}

CMyWchar::~CMyWchar() = default;

int CMyWchar::GetLength() const { return int(std::char_traits<char16_t>::length(m_buf.get())); }

CMyTChar::~CMyTChar() = default;
