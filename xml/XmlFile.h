// CXmlFile: one load or save of a document file. It finds the file's encoding (byte-order
// mark, declaration, UTF-8 detection), converts to or from the document's UTF-16 text and
// logs every step in its own result, which the document takes over at the end.
#pragma once

#include "XmlResult.h"

#include <cstdio>
#include <string>

class CXmlDocument;

class CXmlFile
{
public:
    // Reads the whole file into text; false on a file error (logged as "file_error").
    bool Read(const std::string& strPath, std::u16string& text, int& nFileFlags);
    // Writes text atomically: a temporary file beside the target, flushed to disk, then
    // renamed over it, so a crash leaves the old file or the new one, never a cut one.
    bool Write(const std::string& strPath, std::u16string_view text, int nFileFlags);

    const CXmlResult& Result() const { return m_result; }

private:
    bool FileError(int nErr);

    CXmlResult m_result;
    std::string m_strEncoding;
    int m_nUnitSize = 1;
};
