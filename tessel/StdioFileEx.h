#pragma once
// The framework's text file, which on opening a UTF-16 file for reading as text switches to binary
// mode so that wide text is read unchanged, and the library's conversions between multi-byte text
// in the ANSI code page and wide (UTF-16) text, which the string wrappers and CStdioFileCe share.

#include "TesselExport.h"

#include <platform/StdioFile.h>

class TESSEL_EXPORT CStdioFileEx : public platform::CStdioFile {
public:
    CStdioFileEx();
    // Opens at once, after the same flag processing as Open; IsOpen() tells whether it worked.
    CStdioFileEx(const QString& path, platform::UINT nOpenFlags);
    ~CStdioFileEx() override;

    platform::BOOL Open(const QString& path, platform::UINT nOpenFlags,
                        platform::CFileException* pException = nullptr) override;

    // Whether the last open found UTF-16 text (and opened it in binary mode).
    platform::BOOL IsFileUnicodeText() const { return m_bIsUnicodeText; }
    // The code page of the file's text lines; -1 (the default) is the ANSI code page.
    void SetCodePage(platform::UINT nCodePage);
    // The open flags as finally used.
    platform::UINT GetOpenFlags() const { return m_nFlags; }

    // TRUE when the file opens and starts with the little-endian byte-order mark FF FE.
    static platform::BOOL IsFileUnicode(const QString& path);

    // The ANSI code page of the user's locale (or the one set for tests); 0 when the locale gives none.
    static platform::UINT GetCurrentLocaleCodePage();
    // Bytes the multi-byte form needs, terminating zero included; 0 for a null text.
    static int GetRequiredMultiByteLengthForUnicodeString(const char16_t* src);
    // Converts up to the terminating zero; characters the code page lacks become "#". Returns the
    // bytes written without the terminating zero; 0 (and dst emptied) when it does not fit.
    static int GetMultiByteStringFromUnicodeString(const char16_t* src, char* dst, int dstSize);
    // Converts up to the terminating zero with the current code page. Returns the characters written
    // without the terminating zero; 0 (and dst emptied) when it does not fit.
    static int GetUnicodeStringFromMultiByteString(const char* src, char16_t* dst, int dstChars);
    // The same, always as code page 936 (GBK), whatever the locale.
    static int GetUnicodeStringFromMultiByteString1(const char* src, char16_t* dst, int dstChars);

    // The code page the conversions use now: the locale's (or the test's), or 0 for the locale's own
    // character set when it has no number.
    static int ConversionCodePage();

private:
    platform::BOOL m_bIsUnicodeText = platform::FALSE;
    platform::UINT m_nFileCodePage = platform::UINT(-1);
};
