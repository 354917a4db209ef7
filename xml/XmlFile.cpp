#include "XmlFile.h"

#include "XmlDocument.h"
#include "XmlEncoding.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
struct Mark
{
    const char* pszBytes;
    size_t nLen;
    const char* pszEncoding;
    int nFlag;
    int nUnit;
};
// UTF-32 comes first: its little-endian mark begins with UTF-16's. The UTF-32 rows have no
// document flag; a document declared UTF-32 is saved with its mark, as UTF-16 is.
constexpr Mark kMarks[] = {
    {"\xFF\xFE\0\0", 4, "UTF-32LE", 0, 4},
    {"\0\0\xFE\xFF", 4, "UTF-32BE", 0, 4},
    {"\xEF\xBB\xBF", 3, "UTF-8", CXmlDocument::XML_FILE_UTF8_BOM, 1},
    {"\xFF\xFE", 2, "UTF-16LE", CXmlDocument::XML_FILE_UTF16LE, 2},
    {"\xFE\xFF", 2, "UTF-16BE", CXmlDocument::XML_FILE_UTF16BE, 2},
};

constexpr const Mark& kUtf32LEMark = kMarks[0];
constexpr const Mark& kUtf32BEMark = kMarks[1];
constexpr const Mark& kUtf16LEMark = kMarks[3];
constexpr const Mark& kUtf16BEMark = kMarks[4];

constexpr int kEbcdicUS = 37;

bool StartsWith(const char* p, size_t n, std::string_view prefix)
{
    return n >= prefix.size() && std::memcmp(p, prefix.data(), prefix.size()) == 0;
}

// A file larger than this cannot be indexed with 32-bit offsets.
constexpr long long kMaxFileBytes = 0x7FFFFFF0LL;

std::string Narrow(std::u16string_view s)
{
    std::string out;
    for (char16_t c : s)
        out += c < 128 ? char(c) : '?';
    return out;
}

bool WriteAll(int fd, const char* p, size_t n)
{
    while (n > 0) {
        ssize_t k = ::write(fd, p, n);
        if (k < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += k;
        n -= size_t(k);
    }
    return true;
}
} // namespace

bool CXmlFile::FileError(int nErr)
{
    std::string msg = std::strerror(nErr);
    size_t cut = msg.find_first_of("\r\n");
    if (cut != std::string::npos)
        msg.resize(cut);
    m_result.Add("file_error").Text("msg", std::string_view(msg)).Number("n", nErr);
    return false;
}

bool CXmlFile::Read(const std::string& strPath, std::u16string& text, int& nFileFlags)
{
    text.clear();
    nFileFlags = 0;
    FILE* f = std::fopen(strPath.c_str(), "rb");
    if (!f)
        return FileError(errno);
    struct FileCloser
    {
        FILE* f;
        ~FileCloser() { std::fclose(f); }
    } closer{f};
    struct stat st;
    if (fstat(fileno(f), &st) != 0)
        return FileError(errno);
    if (S_ISDIR(st.st_mode))
        return FileError(EISDIR);
    if (st.st_size > kMaxFileBytes)
        return FileError(EFBIG);
    const size_t nSize = size_t(st.st_size);

    char head[1024];
    size_t nHead = std::fread(head, 1, std::min<size_t>(nSize, sizeof head), f);
    if (std::ferror(f))
        return FileError(errno ? errno : EIO);
    size_t nOffset = 0;
    bool bAssumedUtf8 = false; // UTF-8 only because the file starts with "<"
    m_strEncoding.clear();
    m_nUnitSize = 1;
    for (const Mark& m : kMarks) {
        if (nHead >= m.nLen && std::memcmp(head, m.pszBytes, m.nLen) == 0) {
            m_strEncoding = m.pszEncoding;
            m_nUnitSize = m.nUnit;
            nFileFlags = m.nFlag;
            nOffset = m.nLen;
            m_result.Add("bom").Text("encoding", std::string_view(m_strEncoding));
            break;
        }
    }
    if (!nOffset) {
        // UTF-32 without a mark shows itself by "<" as its first unit.
        if (StartsWith(head, nHead, std::string_view("<\0\0\0", 4)) || StartsWith(head, nHead, std::string_view("\0\0\0<", 4))) {
            m_strEncoding = head[0] == '<' ? kUtf32LEMark.pszEncoding : kUtf32BEMark.pszEncoding;
            m_nUnitSize = 4;
        }
    }
    if (!nOffset && m_nUnitSize == 1) {
        // The declaration is read as ASCII, past what some encodings put before the text (the
        // ISO-2022-KR header, HZ's switch to ASCII); EBCDIC files are read as EBCDIC for it.
        std::u16string probe;
        if (StartsWith(head, nHead, "\x4C\x6F\xA7\x94")) // "<?xm" in EBCDIC
            XmlEncoding::Decode(kEbcdicUS, std::string_view(head, nHead), probe);
        else {
            size_t nSkip = StartsWith(head, nHead, "\x1B$)C") ? 4 : StartsWith(head, nHead, "~}") ? 2 : 0;
            XmlEncoding::Utf8ToUtf16(std::string_view(head + nSkip, nHead - nSkip), probe);
        }
        std::u16string declared = CXmlDocument::DeclaredEncoding(probe);
        if (!declared.empty())
            m_strEncoding = Narrow(declared);
        else if (nHead > 0 && head[0] == '<') {
            m_strEncoding = "UTF-8";
            bAssumedUtf8 = true;
        }
    }

    // The rest of the file in one read.
    std::string block(nSize - std::min(nSize, nOffset), '\0');
    if (std::fseek(f, long(nOffset), SEEK_SET) != 0)
        return FileError(errno);
    size_t nRead = block.empty() ? 0 : std::fread(block.data(), 1, block.size(), f);
    if (std::ferror(f))
        return FileError(errno ? errno : EIO);
    block.resize(nRead);

    if (m_nUnitSize == 2) {
        size_t nUnits = block.size() / 2;
        text.reserve(nUnits + nUnits / 100 + 1);
        size_t nNulls = 0;
        for (size_t i = 0; i < nUnits; ++i) {
            char16_t c;
            std::memcpy(&c, block.data() + 2 * i, 2);
            if (c == 0)
                ++nNulls;
            else
                text += c;
        }
        if (nNulls)
            m_result.Add("nulls_removed").Number("count", int64_t(nNulls));
        m_result.Add("read").Text("encoding", std::string_view(m_strEncoding)).Number("length", int64_t(nUnits));
        if (nFileFlags == CXmlDocument::XML_FILE_UTF16BE) {
            for (char16_t& c : text)
                c = char16_t((c << 8) | (c >> 8));
            m_result.Add("endian_swap");
        }
        // A last byte without its partner is broken input, as anywhere else: "?".
        if (block.size() % 2)
            text += u'?';
        return true;
    }

    if (m_nUnitSize == 4) {
        const bool bBigEndian = m_strEncoding == kUtf32BEMark.pszEncoding;
        size_t nUnits = block.size() / 4;
        size_t nNulls = 0, w = 0;
        for (size_t i = 0; i < nUnits; ++i) {
            char* u = block.data() + 4 * i;
            if (!u[0] && !u[1] && !u[2] && !u[3]) {
                ++nNulls;
                continue;
            }
            if (bBigEndian) {
                std::swap(u[0], u[3]);
                std::swap(u[1], u[2]);
            }
            std::memmove(block.data() + 4 * w++, u, 4);
        }
        // A cut-off last unit stays behind the others, so that it becomes "?".
        std::memmove(block.data() + 4 * w, block.data() + 4 * nUnits, block.size() % 4);
        block.resize(4 * w + block.size() % 4);
        if (nNulls)
            m_result.Add("nulls_removed").Number("count", int64_t(nNulls));
        m_result.Add("read").Text("encoding", std::string_view(m_strEncoding)).Number("length", int64_t(nUnits));
        if (bBigEndian)
            m_result.Add("endian_swap");
        XmlEncoding::Decode(XmlEncoding::kUtf32, block, text);
        m_result.Add("converted_to").Text("encoding", std::string_view("UTF-16")).Number("length", int64_t(text.size()));
        return true;
    }

    size_t nUnits = block.size();
    size_t nNulls = 0;
    size_t w = 0;
    for (size_t i = 0; i < block.size(); ++i) {
        if (block[i] == 0)
            ++nNulls;
        else
            block[w++] = block[i];
    }
    block.resize(w);
    if (nNulls)
        m_result.Add("nulls_removed").Number("count", int64_t(nNulls));
    // A file that merely starts with "<" but is not UTF-8 (an old ANSI file without declaration)
    // would lose every non-ASCII character to "?"; it goes through detection instead.
    if (bAssumedUtf8 && !XmlEncoding::IsValidUtf8(block))
        m_strEncoding.clear();
    m_result.Add("read").Text("encoding", std::string_view(m_strEncoding)).Number("length", int64_t(nUnits));
    if (m_strEncoding.empty()) {
        if (XmlEncoding::IsValidUtf8(block)) {
            m_strEncoding = "UTF-8";
            m_result.Update("read", "encoding", u"UTF-8");
        }
        m_result.Add("utf8_detection");
    }
    int cp = std::max(XmlEncoding::GetCodePage(std::string_view(m_strEncoding)), 0);
    // A named code page without a converter here reads as the system code page, like an
    // unknown name does.
    if (!XmlEncoding::Decode(cp, block, text) && !XmlEncoding::Decode(0, block, text))
        return FileError(EILSEQ);
    m_result.Add("converted_to").Text("encoding", std::string_view("UTF-16")).Number("length", int64_t(text.size()));
    return true;
}

bool CXmlFile::Write(const std::string& strPath, std::u16string_view text, int nFileFlags)
{
    const Mark* pMark = nullptr;
    for (const Mark& m : kMarks)
        if (nFileFlags & m.nFlag)
            pMark = &m;
    if (pMark) {
        m_strEncoding = pMark->pszEncoding;
        m_nUnitSize = pMark->nUnit;
    } else {
        std::u16string declared = CXmlDocument::DeclaredEncoding(text.substr(0, std::min<size_t>(text.size(), 1024)));
        m_strEncoding = declared.empty() ? "UTF-8" : Narrow(declared);
        int cp = XmlEncoding::GetCodePage(std::string_view(m_strEncoding));
        // UTF-16 and UTF-32 without their marks could not be told apart from a byte file when
        // read back.
        if (cp == XmlEncoding::kUtf16LE)
            pMark = &kUtf16LEMark;
        else if (cp == XmlEncoding::kUtf16BE)
            pMark = &kUtf16BEMark;
        else if (cp == XmlEncoding::kUtf32 || cp == XmlEncoding::kUtf32LE)
            pMark = &kUtf32LEMark;
        else if (cp == XmlEncoding::kUtf32BE)
            pMark = &kUtf32BEMark;
        if (pMark && pMark->nUnit == 2)
            m_nUnitSize = 2;
    }

    // Write beside the target and rename over it once the bytes are on disk.
    std::string target = strPath;
    struct stat st;
    bool bExists = ::lstat(strPath.c_str(), &st) == 0;
    if (bExists && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(strPath.c_str(), resolved))
            target = resolved;
        bExists = ::stat(target.c_str(), &st) == 0;
    }
    if (bExists && S_ISDIR(st.st_mode))
        return FileError(EISDIR);
    std::string tmp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tmp = target + ".~" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return FileError(errno);
    }
    if (fd < 0)
        return FileError(EEXIST);
    if (bExists)
        (void)::fchmod(fd, st.st_mode & 07777);
    std::string bytes;
    if (pMark) {
        bytes.assign(pMark->pszBytes, pMark->nLen);
        m_result.Add("bom").Text("encoding", std::string_view(pMark->pszEncoding));
    }
    if (!text.empty()) {
        if (m_nUnitSize == 2) {
            bool bSwap = pMark == &kUtf16BEMark;
            size_t n0 = bytes.size();
            bytes.resize(n0 + text.size() * 2);
            for (size_t i = 0; i < text.size(); ++i) {
                char16_t c = bSwap ? char16_t((text[i] << 8) | (text[i] >> 8)) : text[i];
                std::memcpy(bytes.data() + n0 + 2 * i, &c, 2);
            }
            if (bSwap)
                m_result.Add("endian_swap");
        } else {
            int cp = std::max(XmlEncoding::GetCodePage(std::string_view(m_strEncoding)), 0);
            std::string conv;
            bool bLoss = false;
            if (!XmlEncoding::Encode(cp, text, conv, &bLoss)) {
                // No converter: keep the old file rather than write a wrong one.
                ::close(fd);
                ::unlink(tmp.c_str());
                return FileError(EILSEQ);
            }
            m_result.Add("converted_from").Text("encoding", std::string_view("UTF-16")).Number("length", int64_t(text.size()));
            if (bLoss)
                m_result.Add("conversion_loss");
            bytes += conv;
        }
    }

    bool bOk = WriteAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
    int nErr = errno;
    if (::close(fd) != 0 && bOk) {
        bOk = false;
        nErr = errno;
    }
    if (bOk && ::rename(tmp.c_str(), target.c_str()) != 0) {
        bOk = false;
        nErr = errno;
    }
    if (!bOk) {
        ::unlink(tmp.c_str());
        return FileError(nErr);
    }
    // Make the rename itself durable.
    std::string dir = target.substr(0, target.find_last_of('/') == std::string::npos ? 0 : target.find_last_of('/'));
    int dfd = ::open(dir.empty() ? (target[0] == '/' ? "/" : ".") : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        (void)::fsync(dfd);
        ::close(dfd);
    }
    m_result.Add("write").Text("encoding", std::string_view(m_strEncoding)).Number("length", int64_t(text.size()));
    return true;
}

// ---------------------------------------------------------------------------------------------

bool CXmlDocument::LoadFile(const std::string& strPath)
{
    CXmlFile file;
    std::u16string text;
    int nFlags = 0;
    bool bRead = file.Read(strPath, text, nFlags);
    m_result.Clear();
    m_result.Append(file.Result());
    if (!bRead) {
        m_strDoc.clear();
        Parse();
        return false;
    }
    m_nDocFlags = (m_nDocFlags & ~XML_FILE_FLAGS) | nFlags;
    m_strDoc = std::move(text);
    return Parse();
}

bool CXmlDocument::SaveFile(const std::string& strPath)
{
    CXmlFile file;
    bool bOk = file.Write(strPath, m_strDoc, m_nDocFlags & XML_FILE_FLAGS);
    m_result.Clear();
    m_result.Append(file.Result());
    return bOk;
}
