#pragma once
// A line-oriented text file kept in the ANSI code page while its users work with wide strings, and
// numbers stored one per line. Lines are read in pieces of at most 4095 bytes, cut between
// characters. Characters the code page lacks are written as "#". Operations on a closed file read
// nothing and return FALSE or 0.

#include "TesselExport.h"

#include <platform/StdioFile.h>

#include <QString>

#include <cstdio>

class TESSEL_EXPORT CStdioFileCe {
public:
    // Longest piece of a line one ReadString returns.
    static constexpr int kLinePiece = 4095;

    CStdioFileCe();
    ~CStdioFileCe();
    CStdioFileCe(const CStdioFileCe&) = delete;
    CStdioFileCe& operator=(const CStdioFileCe&) = delete;

    // Closes what is open, then opens path with a C library mode ("r", "w", "a", "rt", "wt", "r+",
    // ...). On failure with bShowError the user is told. TRUE when open.
    platform::BOOL Open(const QString& path, const QString& mode, int bShowError);
    void Close();
    bool IsOpen() const { return m_pStream != nullptr; }

    // The next line (or piece of a long one) without blanks or line end at either end.
    platform::BOOL ReadString(QString& line);
    // Reads the next line; TRUE when it equals text.
    platform::BOOL bReadString(const QString& text);
    int ReadInt();
    long ReadLong();
    // The next line as a number; *pOk (when given) says whether a line was read.
    double ReadDouble(int* pOk = nullptr);

    // Writes the text in the code page, no line end added; FALSE when it could not be written.
    platform::BOOL WriteString(const char16_t* text);
    platform::BOOL WriteString(const QString& text);
    // The value with twelve decimals and CR LF.
    platform::BOOL WriteDouble(double value);

    void SeekToBegin();
    // Non-zero at the end of the file, after an error, and on a closed file, so that a reading
    // loop always ends.
    int nfeof();
    platform::BOOL GetStatus(platform::CFileStatus& status);
    QString GetFilePath() const { return m_strPath; }

private:
    FILE* m_pStream = nullptr;
    QString m_strPath;
};
