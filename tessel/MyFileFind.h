#pragma once
// Walks the entries of a folder that match a search pattern ("/folder/*.txt"), one at a time:
// FindFile starts, each FindNextFileW makes the next entry current. Matching follows the platform's
// file search (platform/FileFind.h): names without regard to case, "*.*" every name, a pattern
// without a folder in the current folder.

#include "TesselExport.h"

#include <platform/FileFind.h>
#include <platform/RuntimeClass.h>

#include <QDateTime>
#include <QString>

#include <memory>

class TESSEL_EXPORT CMyFileFind : public platform::CObject {
public:
    CMyFileFind();
    ~CMyFileFind() override;
    CMyFileFind(const CMyFileFind&) = delete;
    CMyFileFind& operator=(const CMyFileFind&) = delete;

    // A null pattern searches "*.*". FALSE (errno kept from the search) when nothing matches or the
    // folder cannot be read. The first entry becomes current with the first FindNextFileW.
    virtual platform::BOOL FindFile(const QString& pattern = QString(), platform::DWORD flags = 0);
    // Makes the next entry current; FALSE when it was the last one (it is still current then).
    virtual platform::BOOL FindNextFileW();
    void Close();

    QString GetFileName() const;
    QString GetFilePath() const;
    // The name without its extension; a name without a dot (or whose only dot comes first) is its
    // own title.
    QString GetFileTitleW() const;
    QString GetFileURL() const;
    QString GetRoot() const;
    // The whole size (the handheld's 32 bits are too few for Linux files).
    quint64 GetLength() const;

    platform::BOOL GetCreationTime(platform::FILETIME* time) const;
    platform::BOOL GetCreationTime(QDateTime& time) const;
    platform::BOOL GetLastAccessTime(platform::FILETIME* time) const;
    platform::BOOL GetLastAccessTime(QDateTime& time) const;
    platform::BOOL GetLastWriteTime(platform::FILETIME* time) const;
    platform::BOOL GetLastWriteTime(QDateTime& time) const;

    // Any of the attribute bits set.
    virtual platform::BOOL MatchesMask(platform::DWORD mask) const;
    platform::BOOL IsDirectory() const { return MatchesMask(platform::FILE_ATTRIBUTE_DIRECTORY); }
    platform::BOOL IsReadOnly() const { return MatchesMask(platform::FILE_ATTRIBUTE_READONLY); }
    platform::BOOL IsHidden() const { return MatchesMask(platform::FILE_ATTRIBUTE_HIDDEN); }
    platform::BOOL IsSystem() const { return MatchesMask(platform::FILE_ATTRIBUTE_SYSTEM); }
    platform::BOOL IsArchived() const { return MatchesMask(platform::FILE_ATTRIBUTE_ARCHIVE); }
    platform::BOOL IsCompressed() const { return MatchesMask(platform::FILE_ATTRIBUTE_COMPRESSED); }
    platform::BOOL IsTemporary() const { return MatchesMask(platform::FILE_ATTRIBUTE_TEMPORARY); }
    platform::BOOL IsNormal() const { return MatchesMask(platform::FILE_ATTRIBUTE_NORMAL); }
    // A directory named "." or "..".
    platform::BOOL IsDots() const;

    const platform::CRuntimeClass* GetRuntimeClass() const override;
    static const platform::CRuntimeClass classCMyFileFind;

protected:
    virtual void CloseContext();

private:
    std::unique_ptr<platform::WIN32_FIND_DATA> m_pFoundInfo;
    std::unique_ptr<platform::WIN32_FIND_DATA> m_pNextInfo;
    platform::FindHandle m_hContext = nullptr;
    QString m_strRoot;
    QChar m_chDirSeparator = u'/';
    bool m_bExhausted = false;
};

// TRUE when a search for folder + "/" + name finds an entry.
TESSEL_EXPORT platform::BOOL bIsExistFile(const QString& folder, const QString& name);
