#pragma once
// The framework's buffered file with lines of text, over a C stream. Text mode reads and writes
// lines in a code page (the ANSI one unless set); binary mode reads and writes lines of UTF-16
// (little-endian) units, the form a wide-text file has on the handheld. Line ends are not
// translated on writing (Linux files); on reading "\n" and "\r\n" both end a line. Failures are
// results, never exceptions.

#include "WinTypes.h"

#include <QDateTime>
#include <QString>

#include <cstdio>
#include <string>

namespace platform {

// File attributes as the handheld reports them.
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x0001;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x0002;
constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x0004;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x0010;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x0020;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x0080;
constexpr DWORD FILE_ATTRIBUTE_TEMPORARY = 0x0100;
constexpr DWORD FILE_ATTRIBUTE_COMPRESSED = 0x0800;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

// The attributes of a path (links followed), INVALID_FILE_ATTRIBUTES when it cannot be read.
DWORD GetFileAttributes(const QString& path);

struct CFileStatus {
    QDateTime m_ctime; // creation (birth where the file system keeps it, else last status change)
    QDateTime m_mtime;
    QDateTime m_atime;
    qint64 m_size = 0;
    BYTE m_attribute = 0; // the low byte of the attributes above
    QString m_szFullName;
};

struct CFileException {
    enum Cause { none = 0, generic = 1, fileNotFound = 2, badPath = 3, tooManyOpenFiles = 4, accessDenied = 5,
                 diskFull = 13 };
    int m_cause = none;
    int m_lOsError = 0; // errno
    QString m_strFileName;
};

// Reads the bytes of one line, up to and including "\n", at most maxBytes. A piece cut at maxBytes
// in the middle of a character of a multi-byte code page ends before that character, which the
// next read starts with. False when nothing was read (end of file or error).
bool ReadLineBytes(FILE* stream, size_t maxBytes, int codePage, std::string& bytes);

// A path as the C library takes it.
std::string LocalPath(const QString& path);

class CStdioFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };
    // Longest line returned in one piece; longer lines come in several.
    static constexpr size_t kMaxLineBytes = 1 << 20;

    CStdioFile() = default;
    // Opens at once; IsOpen() tells whether it worked.
    CStdioFile(const QString& path, UINT openFlags);
    virtual ~CStdioFile();
    CStdioFile(const CStdioFile&) = delete;
    CStdioFile& operator=(const CStdioFile&) = delete;

    virtual BOOL Open(const QString& path, UINT openFlags, CFileException* error = nullptr);
    virtual void Close();
    bool IsOpen() const { return m_pStream != nullptr; }

    // The next line without its line end (and in binary mode without a leading byte-order mark);
    // FALSE at the end of the file.
    BOOL ReadString(QString& line);
    // Writes the text as it is; FALSE when it could not be written.
    BOOL WriteString(const QString& text);
    UINT Read(void* buffer, UINT count);
    BOOL Write(const void* buffer, UINT count);

    void SeekToBegin();
    qint64 SeekToEnd();
    qint64 GetPosition() const;
    qint64 GetLength() const;
    QString GetFilePath() const { return m_strPath; }

    // Code page of text-mode lines; 0 (the default) is the ANSI code page at the time of the call.
    void SetTextCodePage(int codePage) { m_nTextCodePage = codePage; }

    BOOL GetStatus(CFileStatus& status) const;
    static BOOL GetStatus(const QString& path, CFileStatus& status);

    FILE* m_pStream = nullptr;

protected:
    bool isText() const { return !(m_nFlags & typeBinary); }
    int textCodePage() const;

    QString m_strPath;
    UINT m_nFlags = 0;
    int m_nTextCodePage = 0;
};

} // namespace platform
