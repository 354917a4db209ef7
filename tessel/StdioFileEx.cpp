#include "StdioFileEx.h"

#include <platform/CodePage.h>

#include <cstring>
#include <string>

using namespace platform;

namespace {

int Convert(int codePage, const char16_t* src, char* dst, int dstSize)
{
    if (!src || !dst || dstSize <= 0)
        return 0;
    std::memset(dst, 0, size_t(dstSize));
    std::string out;
    // Every code page but UTF-8 gets "#" for what it lacks, after composing accents with their letters.
    const bool utf8 = codePage == CP_UTF8;
    if (!WideToMultiByte(codePage, std::u16string_view(src), out, utf8 ? 0 : '#', !utf8))
        return 0;
    if (out.size() + 1 > size_t(dstSize))
        return 0; // does not fit: nothing rather than a cut character
    std::memcpy(dst, out.data(), out.size());
    return int(out.size());
}

int Convert(int codePage, const char* src, char16_t* dst, int dstChars)
{
    if (!src || !dst || dstChars <= 0)
        return 0;
    std::memset(dst, 0, size_t(dstChars) * sizeof(char16_t));
    std::u16string out;
    if (!MultiByteToWide(codePage, std::string_view(src), out))
        return 0;
    if (out.size() + 1 > size_t(dstChars))
        return 0;
    std::memcpy(dst, out.data(), out.size() * sizeof(char16_t));
    return int(out.size());
}

} // namespace

CStdioFileEx::CStdioFileEx() = default;

CStdioFileEx::CStdioFileEx(const QString& path, UINT nOpenFlags) { Open(path, nOpenFlags); }

CStdioFileEx::~CStdioFileEx() = default;

BOOL CStdioFileEx::Open(const QString& path, UINT nOpenFlags, CFileException* pException)
{
    m_bIsUnicodeText = FALSE;
    if ((nOpenFlags & typeText) && !(nOpenFlags & (modeCreate | modeWrite)) && IsFileUnicode(path)) {
        m_bIsUnicodeText = TRUE;
        nOpenFlags = (nOpenFlags & ~UINT(typeText)) | typeBinary;
    }
    return CStdioFile::Open(path, nOpenFlags, pException);
}

void CStdioFileEx::SetCodePage(UINT nCodePage)
{
    m_nFileCodePage = nCodePage;
    SetTextCodePage(nCodePage == UINT(-1) ? 0 : int(nCodePage));
}

BOOL CStdioFileEx::IsFileUnicode(const QString& path)
{
    const std::string p = LocalPath(path);
    FILE* f = p.empty() ? nullptr : std::fopen(p.c_str(), "rbe");
    if (!f)
        return FALSE;
    unsigned char mark[2] = {0, 0};
    const bool two = std::fread(mark, 1, 2, f) == 2;
    std::fclose(f);
    return two && (mark[0] | (mark[1] << 8)) == 0xFEFF ? TRUE : FALSE;
}

UINT CStdioFileEx::GetCurrentLocaleCodePage() { return UINT(AnsiCodePage()); }

int CStdioFileEx::ConversionCodePage()
{
    const UINT cp = GetCurrentLocaleCodePage();
    // -1 and 0 both leave it to the locale's own character set.
    return cp == UINT(-1) ? CP_ACP : int(cp);
}

int CStdioFileEx::GetRequiredMultiByteLengthForUnicodeString(const char16_t* src)
{
    if (!src)
        return 0;
    const int cp = ConversionCodePage();
    std::string out;
    const bool utf8 = cp == CP_UTF8;
    if (!WideToMultiByte(cp, std::u16string_view(src), out, utf8 ? 0 : '#', !utf8))
        return 0;
    return out.size() < size_t(INT32_MAX) ? int(out.size()) + 1 : 0;
}

int CStdioFileEx::GetMultiByteStringFromUnicodeString(const char16_t* src, char* dst, int dstSize)
{
    return Convert(ConversionCodePage(), src, dst, dstSize);
}

int CStdioFileEx::GetUnicodeStringFromMultiByteString(const char* src, char16_t* dst, int dstChars)
{
    return Convert(ConversionCodePage(), src, dst, dstChars);
}

int CStdioFileEx::GetUnicodeStringFromMultiByteString1(const char* src, char16_t* dst, int dstChars)
{
    return Convert(936, src, dst, dstChars);
}
