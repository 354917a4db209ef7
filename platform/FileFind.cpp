#include "FileFind.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace platform {

struct FindState {
    std::vector<WIN32_FIND_DATA> entries;
    size_t next = 0;
};

namespace {

constexpr qint64 kEpochDiffSeconds = 11644473600LL; // 1601-01-01 to 1970-01-01

FILETIME FromTimespec(const struct statx_timestamp& ts)
{
    const std::uint64_t v = std::uint64_t(ts.tv_sec + kEpochDiffSeconds) * 10000000ULL + ts.tv_nsec / 100;
    return {DWORD(v & 0xFFFFFFFF), DWORD(v >> 32)};
}

// "*" any run, "?" one character; both sides already case-folded.
bool Wild(const char16_t* n, const char16_t* ne, const char16_t* m, const char16_t* me)
{
    const char16_t* star = nullptr;
    const char16_t* retry = nullptr;
    while (n < ne) {
        if (m < me && (*m == u'?' || *m == *n)) {
            ++n;
            ++m;
        } else if (m < me && *m == u'*') {
            star = ++m;
            retry = n;
        } else if (star) {
            m = star;
            n = ++retry;
        } else {
            return false;
        }
    }
    while (m < me && *m == u'*')
        ++m;
    return m == me;
}

bool WildMatch(const QString& name, const QString& mask)
{
    const std::u16string n = name.toCaseFolded().toStdU16String();
    const std::u16string m = mask.toCaseFolded().toStdU16String();
    return Wild(n.data(), n.data() + n.size(), m.data(), m.data() + m.size());
}

bool HasWildcards(const QString& mask) { return mask.contains(u'*') || mask.contains(u'?'); }

bool FillEntry(const QString& folder, const QString& name, WIN32_FIND_DATA& d)
{
    const QString path = folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
    const std::string p = LocalPath(path);
    struct statx sx {};
    // Links are followed; a dangling link is still listed, as the link itself.
    if (statx(AT_FDCWD, p.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0 &&
        statx(AT_FDCWD, p.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0)
        return false;
    DWORD a = GetFileAttributes(path);
    if (a == INVALID_FILE_ATTRIBUTES)
        a = FILE_ATTRIBUTE_ARCHIVE;
    d.dwFileAttributes = a;
    d.ftLastWriteTime = FromTimespec(sx.stx_mtime);
    d.ftLastAccessTime = FromTimespec(sx.stx_atime);
    d.ftCreationTime = FromTimespec((sx.stx_mask & STATX_BTIME) ? sx.stx_btime : sx.stx_ctime);
    const std::uint64_t size = (a & FILE_ATTRIBUTE_DIRECTORY) ? 0 : sx.stx_size;
    d.nFileSizeHigh = DWORD(size >> 32);
    d.nFileSizeLow = DWORD(size & 0xFFFFFFFF);
    d.cFileName = name;
    return true;
}

} // namespace

FILETIME FileTimeFromDateTime(const QDateTime& t)
{
    const qint64 ms = t.toMSecsSinceEpoch() + kEpochDiffSeconds * 1000;
    const std::uint64_t v = ms < 0 ? 0 : std::uint64_t(ms) * 10000ULL;
    return {DWORD(v & 0xFFFFFFFF), DWORD(v >> 32)};
}

QDateTime DateTimeFromFileTime(const FILETIME& t)
{
    const std::uint64_t v = (std::uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    return QDateTime::fromMSecsSinceEpoch(qint64(v / 10000ULL) - kEpochDiffSeconds * 1000, Qt::UTC);
}

bool MatchesFileMask(const QString& name, const QString& mask)
{
    if (WildMatch(name, mask))
        return true;
    // "name.*" also finds "name": the handheld's "*.*" is every name, dot or none.
    return mask.endsWith(QLatin1String(".*")) && WildMatch(name, mask.chopped(2));
}

FindHandle FindFirstFile(const QString& pattern, WIN32_FIND_DATA* data)
{
    const qsizetype slash = pattern.lastIndexOf(u'/');
    QString folder = slash < 0 ? QDir::currentPath() : pattern.left(slash);
    if (slash == 0)
        folder = QStringLiteral("/");
    const QString mask = pattern.mid(slash + 1);
    if (mask.isEmpty()) {
        errno = ENOENT;
        return nullptr;
    }
    auto state = std::make_unique<FindState>();
    if (!HasWildcards(mask)) {
        // One name: spelt exactly as asked when it exists, else the first spelling that matches.
        WIN32_FIND_DATA d;
        if (FillEntry(folder, mask, d)) {
            state->entries.push_back(std::move(d));
        }
    }
    if (state->entries.empty()) {
        const std::string f = LocalPath(folder);
        DIR* dir = f.empty() ? nullptr : ::opendir(f.c_str());
        if (!dir)
            return nullptr; // errno from opendir
        std::vector<QString> names;
        errno = 0;
        while (dirent* e = ::readdir(dir)) {
            const QString name = QFile::decodeName(e->d_name);
            if (MatchesFileMask(name, mask))
                names.push_back(name);
        }
        ::closedir(dir);
        std::sort(names.begin(), names.end());
        for (const QString& name : names) {
            WIN32_FIND_DATA d;
            if (FillEntry(folder, name, d))
                state->entries.push_back(std::move(d));
            if (!HasWildcards(mask) && !state->entries.empty())
                break;
        }
    }
    if (state->entries.empty()) {
        errno = ENOENT;
        return nullptr;
    }
    if (data)
        *data = state->entries[0];
    state->next = 1;
    return state.release();
}

bool FindNextFile(FindHandle handle, WIN32_FIND_DATA* data)
{
    if (!handle)
        return false;
    if (handle->next >= handle->entries.size()) {
        errno = ENOENT;
        return false;
    }
    if (data)
        *data = handle->entries[handle->next];
    ++handle->next;
    return true;
}

void FindClose(FindHandle handle) { delete handle; }

} // namespace platform
