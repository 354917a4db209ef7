#include "MyFileFind.h"

#include <QDir>

#include <cerrno>

using namespace platform;

const CRuntimeClass CMyFileFind::classCMyFileFind = {"CMyFileFind", int(sizeof(CMyFileFind)), 0xFFFF, nullptr,
                                                     &CObject::classCObject};

const CRuntimeClass* CMyFileFind::GetRuntimeClass() const { return &classCMyFileFind; }

CMyFileFind::CMyFileFind() = default;

CMyFileFind::~CMyFileFind() { Close(); }

BOOL CMyFileFind::FindFile(const QString& pattern, DWORD /*flags*/)
{
    Close();
    const QString p = pattern.isNull() ? QStringLiteral("*.*") : pattern;
    m_pNextInfo = std::make_unique<WIN32_FIND_DATA>();
    m_hContext = platform::FindFirstFile(p, m_pNextInfo.get());
    if (!m_hContext) {
        const int err = errno;
        Close();
        errno = err; // the caller asks why
        return FALSE;
    }
    const qsizetype slash = p.lastIndexOf(m_chDirSeparator);
    if (slash < 0)
        m_strRoot = QDir::currentPath();
    else
        m_strRoot = slash == 0 ? QString(m_chDirSeparator) : p.left(slash);
    return TRUE;
}

BOOL CMyFileFind::FindNextFileW()
{
    if (!m_hContext || m_bExhausted)
        return FALSE;
    if (!m_pFoundInfo)
        m_pFoundInfo = std::make_unique<WIN32_FIND_DATA>();
    std::swap(m_pFoundInfo, m_pNextInfo);
    if (platform::FindNextFile(m_hContext, m_pNextInfo.get()))
        return TRUE;
    // Later calls must not swap the stale record back in: the last entry stays current.
    m_bExhausted = true;
    return FALSE;
}

void CMyFileFind::Close()
{
    m_pFoundInfo.reset();
    m_pNextInfo.reset();
    if (m_hContext)
        CloseContext();
    m_bExhausted = false;
}

void CMyFileFind::CloseContext()
{
    platform::FindClose(m_hContext);
    m_hContext = nullptr;
}

QString CMyFileFind::GetFileName() const { return m_pFoundInfo ? m_pFoundInfo->cFileName : QString(); }

QString CMyFileFind::GetFilePath() const
{
    if (!m_pFoundInfo)
        return {};
    if (m_strRoot.endsWith(u'/') || m_strRoot.endsWith(u'\\'))
        return m_strRoot + m_pFoundInfo->cFileName;
    return m_strRoot + m_chDirSeparator + m_pFoundInfo->cFileName;
}

QString CMyFileFind::GetFileTitleW() const
{
    const QString name = GetFileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.left(dot) : name;
}

QString CMyFileFind::GetFileURL() const { return m_pFoundInfo ? QStringLiteral("file://") + GetFilePath() : QString(); }

QString CMyFileFind::GetRoot() const { return m_pFoundInfo ? m_strRoot : QString(); }

quint64 CMyFileFind::GetLength() const
{
    return m_pFoundInfo ? (quint64(m_pFoundInfo->nFileSizeHigh) << 32) | m_pFoundInfo->nFileSizeLow : 0;
}

namespace {

BOOL TimeOf(const WIN32_FIND_DATA* d, FILETIME WIN32_FIND_DATA::*member, FILETIME* out)
{
    if (!d || !out)
        return FALSE;
    *out = d->*member;
    return TRUE;
}

BOOL TimeOf(const WIN32_FIND_DATA* d, FILETIME WIN32_FIND_DATA::*member, QDateTime& out)
{
    if (!d)
        return FALSE;
    out = DateTimeFromFileTime(d->*member);
    return TRUE;
}

} // namespace

BOOL CMyFileFind::GetCreationTime(FILETIME* t) const { return TimeOf(m_pFoundInfo.get(), &WIN32_FIND_DATA::ftCreationTime, t); }
BOOL CMyFileFind::GetCreationTime(QDateTime& t) const { return TimeOf(m_pFoundInfo.get(), &WIN32_FIND_DATA::ftCreationTime, t); }
BOOL CMyFileFind::GetLastAccessTime(FILETIME* t) const { return TimeOf(m_pFoundInfo.get(), &WIN32_FIND_DATA::ftLastAccessTime, t); }
BOOL CMyFileFind::GetLastAccessTime(QDateTime& t) const { return TimeOf(m_pFoundInfo.get(), &WIN32_FIND_DATA::ftLastAccessTime, t); }
BOOL CMyFileFind::GetLastWriteTime(FILETIME* t) const { return TimeOf(m_pFoundInfo.get(), &WIN32_FIND_DATA::ftLastWriteTime, t); }
BOOL CMyFileFind::GetLastWriteTime(QDateTime& t) const { return TimeOf(m_pFoundInfo.get(), &WIN32_FIND_DATA::ftLastWriteTime, t); }

BOOL CMyFileFind::MatchesMask(DWORD mask) const
{
    return m_pFoundInfo && (m_pFoundInfo->dwFileAttributes & mask) ? TRUE : FALSE;
}

BOOL CMyFileFind::IsDots() const
{
    if (!m_pFoundInfo || !IsDirectory())
        return FALSE;
    const QString& n = m_pFoundInfo->cFileName;
    return n == QLatin1String(".") || n == QLatin1String("..") ? TRUE : FALSE;
}

BOOL bIsExistFile(const QString& folder, const QString& name)
{
    CMyFileFind finder;
    return finder.FindFile(folder + u'/' + name);
}
