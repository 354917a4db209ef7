#include "StdioFileCe.h"

#include "MyChar.h"
#include "StdioFileEx.h"
#include "TextNumbers.h"

#include <platform/CodePage.h>
#include <platform/MessageBox.h>

#include <cerrno>
#include <sys/stat.h>

using namespace platform;

CStdioFileCe::CStdioFileCe() = default;

CStdioFileCe::~CStdioFileCe() { Close(); }

BOOL CStdioFileCe::Open(const QString& path, const QString& mode, int bShowError)
{
    Close();
    m_strPath = path;
    const std::string p = LocalPath(path);
    // "e": the descriptor is not inherited by programs this process starts.
    const std::string m = mode.toStdString() + "e";
    if (!p.empty() && !mode.isEmpty())
        m_pStream = std::fopen(p.c_str(), m.c_str());
    struct stat st {};
    if (m_pStream && ::fstat(fileno(m_pStream), &st) == 0 && S_ISDIR(st.st_mode)) {
        // Linux opens a stream on a folder for reading; the handheld refused, and so do we.
        std::fclose(m_pStream);
        m_pStream = nullptr;
        errno = EISDIR;
    }
    if (!m_pStream && bShowError)
        platform::MessageBox(nullptr, QStringLiteral("打开文件出错！"), QStringLiteral("警告"), MB_OK | MB_ICONEXCLAMATION);
    return m_pStream ? TRUE : FALSE;
}

void CStdioFileCe::Close()
{
    if (m_pStream) {
        std::fclose(m_pStream);
        m_pStream = nullptr;
    }
}

BOOL CStdioFileCe::ReadString(QString& line)
{
    line.clear();
    if (!m_pStream)
        return FALSE;
    const int cp = CStdioFileEx::ConversionCodePage();
    std::string bytes;
    if (!ReadLineBytes(m_pStream, kLinePiece, cp, bytes))
        return FALSE;
    std::u16string wide;
    MultiByteToWide(cp, bytes, wide);
    line = QString::fromStdU16String(wide).trimmed();
    return TRUE;
}

BOOL CStdioFileCe::bReadString(const QString& text)
{
    QString line;
    return ReadString(line) && line == text ? TRUE : FALSE;
}

int CStdioFileCe::ReadInt()
{
    QString line;
    return ReadString(line) ? textnumbers::LeadingInt(line) : 0;
}

long CStdioFileCe::ReadLong()
{
    QString line;
    return ReadString(line) ? textnumbers::LeadingLong(line) : 0;
}

double CStdioFileCe::ReadDouble(int* pOk)
{
    QString line;
    const BOOL ok = ReadString(line);
    if (pOk)
        *pOk = ok;
    return ok ? textnumbers::LeadingDouble(line) : 0.0;
}

BOOL CStdioFileCe::WriteString(const char16_t* text)
{
    if (!m_pStream)
        return FALSE;
    const CMyChar bytes(text);
    const int n = bytes.GetLength();
    if (n <= 0)
        return TRUE;
    return std::fwrite(static_cast<const char*>(bytes), 1, size_t(n), m_pStream) == size_t(n) ? TRUE : FALSE;
}

BOOL CStdioFileCe::WriteString(const QString& text) { return WriteString(reinterpret_cast<const char16_t*>(text.utf16())); }

BOOL CStdioFileCe::WriteDouble(double value)
{
    return WriteString(textnumbers::Fixed(value, 12) + QStringLiteral("\r\n"));
}

void CStdioFileCe::SeekToBegin()
{
    if (m_pStream)
        std::rewind(m_pStream);
}

int CStdioFileCe::nfeof()
{
    if (!m_pStream)
        return 1;
    return std::feof(m_pStream) || std::ferror(m_pStream) ? 1 : 0;
}

BOOL CStdioFileCe::GetStatus(CFileStatus& status) { return CStdioFile::GetStatus(m_strPath, status); }
