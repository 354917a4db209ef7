#include "StdioFile.h"

#include "CodePage.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

int CauseOf(int err)
{
    switch (err) {
    case ENOENT: return CFileException::fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG: return CFileException::badPath;
    case EMFILE:
    case ENFILE: return CFileException::tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS: return CFileException::accessDenied;
    case ENOSPC: return CFileException::diskFull;
    default: return CFileException::generic;
    }
}

// Reads UTF-16LE units up to and including a "\n" unit, at most maxUnits.
bool ReadLineUnits(FILE* f, size_t maxUnits, std::u16string& units)
{
    units.clear();
    while (units.size() < maxUnits) {
        const int lo = getc_unlocked(f);
        if (lo == EOF)
            break;
        const int hi = getc_unlocked(f);
        if (hi == EOF)
            break; // half a unit at the end of the file is not text
        const char16_t u = char16_t(lo | (hi << 8));
        units += u;
        if (u == u'\n')
            break;
    }
    return !units.empty();
}

} // namespace

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

DWORD GetFileAttributes(const QString& path)
{
    struct stat st {};
    const std::string p = LocalPath(path);
    if (p.empty() || ::stat(p.c_str(), &st) != 0)
        return INVALID_FILE_ATTRIBUTES;
    DWORD a = 0;
    if (S_ISDIR(st.st_mode))
        a |= FILE_ATTRIBUTE_DIRECTORY;
    else if (S_ISREG(st.st_mode))
        a |= FILE_ATTRIBUTE_ARCHIVE;
    else
        a |= FILE_ATTRIBUTE_SYSTEM; // devices, pipes, sockets
    if (::access(p.c_str(), W_OK) != 0 && errno != ENOENT)
        a |= FILE_ATTRIBUTE_READONLY;
    const QString name = QFileInfo(path).fileName();
    if (name.startsWith(u'.') && name != QLatin1String(".") && name != QLatin1String(".."))
        a |= FILE_ATTRIBUTE_HIDDEN;
    return a;
}

bool ReadLineBytes(FILE* f, size_t maxBytes, int codePage, std::string& bytes)
{
    bytes.clear();
    if (!f || maxBytes == 0)
        return false;
    flockfile(f);
    int c = EOF;
    while (bytes.size() < maxBytes && (c = getc_unlocked(f)) != EOF) {
        bytes += char(c);
        if (c == '\n')
            break;
    }
    funlockfile(f);
    if (bytes.size() == maxBytes && bytes.back() != '\n') {
        // Cut inside a character: give its first bytes back so the next piece starts with it.
        const int tail = IncompleteTail(codePage == CP_ACP ? AnsiCodePage() : codePage, bytes);
        if (tail > 0 && std::fseek(f, -long(tail), SEEK_CUR) == 0)
            bytes.resize(bytes.size() - size_t(tail));
    }
    return !bytes.empty();
}

CStdioFile::CStdioFile(const QString& path, UINT openFlags) { Open(path, openFlags); }

CStdioFile::~CStdioFile()
{
    if (m_pStream)
        std::fclose(m_pStream);
}

BOOL CStdioFile::Open(const QString& path, UINT openFlags, CFileException* error)
{
    Close();
    m_strPath = path;
    m_nFlags = openFlags;
    int oflags = O_CLOEXEC;
    const char* mode = "r";
    switch (openFlags & 3) {
    case modeWrite:
        oflags |= O_WRONLY;
        mode = "w";
        break;
    case modeReadWrite:
        oflags |= O_RDWR;
        mode = "r+";
        break;
    default:
        oflags |= O_RDONLY;
        break;
    }
    if (openFlags & modeCreate) {
        oflags |= O_CREAT;
        if (!(openFlags & modeNoTruncate))
            oflags |= O_TRUNC;
    }
    const std::string p = LocalPath(path);
    int fd = p.empty() ? -1 : ::open(p.c_str(), oflags, 0666);
    if (fd >= 0) {
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
            ::close(fd);
            fd = -1;
            errno = EISDIR;
        }
    }
    if (fd < 0) {
        if (error) {
            error->m_lOsError = p.empty() ? ENOENT : errno;
            error->m_cause = CauseOf(error->m_lOsError);
            error->m_strFileName = path;
        }
        return FALSE;
    }
    m_pStream = ::fdopen(fd, mode);
    if (!m_pStream) {
        const int err = errno;
        ::close(fd);
        if (error) {
            error->m_lOsError = err;
            error->m_cause = CauseOf(err);
            error->m_strFileName = path;
        }
        return FALSE;
    }
    return TRUE;
}

void CStdioFile::Close()
{
    if (m_pStream) {
        std::fclose(m_pStream);
        m_pStream = nullptr;
    }
}

int CStdioFile::textCodePage() const { return m_nTextCodePage ? m_nTextCodePage : AnsiCodePage(); }

BOOL CStdioFile::ReadString(QString& line)
{
    line.clear();
    if (!m_pStream)
        return FALSE;
    if (isText()) {
        std::string bytes;
        if (!ReadLineBytes(m_pStream, kMaxLineBytes, textCodePage(), bytes))
            return FALSE;
        if (!bytes.empty() && bytes.back() == '\n')
            bytes.pop_back();
        if (!bytes.empty() && bytes.back() == '\r')
            bytes.pop_back();
        std::u16string wide;
        MultiByteToWide(textCodePage(), bytes, wide);
        line = QString::fromStdU16String(wide);
        return TRUE;
    }
    const bool atStart = std::ftell(m_pStream) == 0;
    std::u16string units;
    flockfile(m_pStream);
    const bool got = ReadLineUnits(m_pStream, kMaxLineBytes / 2, units);
    funlockfile(m_pStream);
    if (!got)
        return FALSE;
    if (!units.empty() && units.back() == u'\n')
        units.pop_back();
    if (!units.empty() && units.back() == u'\r')
        units.pop_back();
    if (atStart && !units.empty() && units.front() == u'\xFEFF')
        units.erase(0, 1);
    line = QString::fromStdU16String(units);
    return TRUE;
}

BOOL CStdioFile::WriteString(const QString& text)
{
    if (!m_pStream)
        return FALSE;
    if (isText()) {
        std::string bytes;
        if (!WideToMultiByte(textCodePage(), text.toStdU16String(), bytes, 0, false))
            return FALSE;
        return Write(bytes.data(), UINT(bytes.size()));
    }
    QByteArray le;
    le.reserve(text.size() * 2);
    for (QChar c : text) {
        le += char(c.unicode() & 0xFF);
        le += char(c.unicode() >> 8);
    }
    return Write(le.constData(), UINT(le.size()));
}

UINT CStdioFile::Read(void* buffer, UINT count)
{
    if (!m_pStream || !buffer)
        return 0;
    return UINT(std::fread(buffer, 1, count, m_pStream));
}

BOOL CStdioFile::Write(const void* buffer, UINT count)
{
    if (!m_pStream)
        return FALSE;
    if (count == 0)
        return TRUE;
    return buffer && std::fwrite(buffer, 1, count, m_pStream) == count ? TRUE : FALSE;
}

void CStdioFile::SeekToBegin()
{
    if (m_pStream)
        std::rewind(m_pStream);
}

qint64 CStdioFile::SeekToEnd()
{
    if (!m_pStream || fseeko(m_pStream, 0, SEEK_END) != 0)
        return -1;
    return GetPosition();
}

qint64 CStdioFile::GetPosition() const { return m_pStream ? qint64(ftello(m_pStream)) : -1; }

qint64 CStdioFile::GetLength() const
{
    if (!m_pStream)
        return 0;
    std::fflush(m_pStream);
    struct stat st {};
    return ::fstat(fileno(m_pStream), &st) == 0 ? qint64(st.st_size) : 0;
}

BOOL CStdioFile::GetStatus(CFileStatus& status) const { return GetStatus(m_strPath, status); }

BOOL CStdioFile::GetStatus(const QString& path, CFileStatus& status)
{
    const DWORD attributes = GetFileAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return FALSE;
    const QFileInfo info(path);
    status.m_mtime = info.lastModified();
    status.m_atime = info.lastRead();
    status.m_ctime = info.birthTime().isValid() ? info.birthTime() : info.metadataChangeTime();
    status.m_size = info.size();
    status.m_attribute = BYTE(attributes & 0xFF);
    status.m_szFullName = info.absoluteFilePath();
    return TRUE;
}

} // namespace platform
