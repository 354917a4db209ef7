#pragma once
// The handheld's file search: entries of one folder whose names match a mask with "*" and "?".
// Names match without regard to case, as on the handheld's file systems; on Linux two names may
// differ only in case, and a mask without wildcards then finds the name spelt exactly as asked when
// there is one, else the first that matches. "*.*" keeps its handheld meaning, every name (a mask
// ending in ".*" also matches the name without it). A pattern without a folder searches the
// current folder. Entries come in name order, "." and ".." included.

#include "StdioFile.h"
#include "WinTypes.h"

#include <QDateTime>
#include <QString>

#include <memory>

namespace platform {

struct FILETIME {
    DWORD dwLowDateTime = 0;
    DWORD dwHighDateTime = 0;
};

// 100-nanosecond intervals since 1601-01-01 UTC, as the handheld counts file times.
FILETIME FileTimeFromDateTime(const QDateTime& t);
QDateTime DateTimeFromFileTime(const FILETIME& t);

struct WIN32_FIND_DATA {
    DWORD dwFileAttributes = 0;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh = 0;
    DWORD nFileSizeLow = 0;
    QString cFileName;
};

struct FindState;
using FindHandle = FindState*; // null: no search

// Starts a search and fills the first entry. Null on failure, with errno saying why (ENOENT when
// nothing matches or the folder does not exist, ENOTDIR, EACCES, ...).
FindHandle FindFirstFile(const QString& pattern, WIN32_FIND_DATA* data);
// The next entry; false (errno ENOENT, "no more files") when the listing is exhausted.
bool FindNextFile(FindHandle handle, WIN32_FIND_DATA* data);
void FindClose(FindHandle handle);

// Whether a name matches a mask in the sense above.
bool MatchesFileMask(const QString& name, const QString& mask);

} // namespace platform
