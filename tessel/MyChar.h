#pragma once
// Owned converted copies of a string for the length of a statement or a block: CMyChar holds the
// multi-byte form (ANSI code page), CMyWchar and CMyTChar the wide (UTF-16) form. Each converts
// implicitly to a pointer to its zero-terminated buffer. A null source gives an empty string.

#include "TesselExport.h"

#include <QString>

#include <memory>

class TESSEL_EXPORT CMyChar {
public:
    CMyChar(const char16_t* text); // converts; the buffer is as long as the conversion needs
    CMyChar(const QString& text);
    CMyChar(const char* text); // copies
    ~CMyChar();
    CMyChar(const CMyChar&) = delete;
    CMyChar& operator=(const CMyChar&) = delete;

    int GetLength() const;
    operator char*() { return m_buf.get(); }
    operator const char*() const { return m_buf.get(); }

private:
    void convert(const char16_t* text);
    std::unique_ptr<char[]> m_buf;
};

class TESSEL_EXPORT CMyWchar {
public:
    CMyWchar(const char* text); // converts from the ANSI code page
    CMyWchar(const char16_t* text); // copies
    ~CMyWchar();
    CMyWchar(const CMyWchar&) = delete;
    CMyWchar& operator=(const CMyWchar&) = delete;

    int GetLength() const;
    operator char16_t*() { return m_buf.get(); }
    operator const char16_t*() const { return m_buf.get(); }
    QString toQString() const { return QString::fromUtf16(m_buf.get()); }

private:
    std::unique_ptr<char16_t[]> m_buf;
};

// The same as CMyWchar under the name used where text is of the framework's character type.
class TESSEL_EXPORT CMyTChar : public CMyWchar {
public:
    CMyTChar(const char* text) : CMyWchar(text) {}
    CMyTChar(const char16_t* text) : CMyWchar(text) {}
    ~CMyTChar();
};
