#include "XmlTokenizer.h"

using namespace XmlChars;

uint32_t CXmlTokenizer::Find(uint32_t nFrom, const char16_t* pszPat, uint32_t nPatLen) const
{
    if (m_nLen < nPatLen)
        return UINT32_MAX;
    for (uint32_t i = nFrom; i + nPatLen <= m_nLen; ++i) {
        if (m_p[i] != pszPat[0])
            continue;
        uint32_t k = 1;
        while (k < nPatLen && m_p[i + k] == pszPat[k])
            ++k;
        if (k == nPatLen)
            return i;
    }
    return UINT32_MAX;
}

XmlToken CXmlTokenizer::Error(uint32_t nStart, const char* pszName, uint32_t nScanFrom)
{
    // The broken markup runs to the next ">", or stops before a "<" met first, so that the
    // markup after it is read normally.
    uint32_t i = (nScanFrom ? nScanFrom : nStart) + 1;
    while (i < m_nLen && m_p[i] != '>' && m_p[i] != '<')
        ++i;
    if (i < m_nLen && m_p[i] == '>')
        ++i;
    XmlToken t;
    t.nType = XML_NODE_ERROR;
    t.nStart = nStart;
    t.nLength = i - nStart;
    t.pszError = pszName;
    m_nPos = i;
    return t;
}

XmlToken CXmlTokenizer::Unterminated(uint32_t nStart, const char* pszType)
{
    XmlToken t;
    t.nType = XML_NODE_ERROR;
    t.nStart = nStart;
    t.nLength = m_nLen - nStart;
    t.pszError = "unterminated_tag_syntax";
    t.pszUnterminated = pszType;
    m_nPos = m_nLen;
    return t;
}

XmlToken CXmlTokenizer::StartTag(uint32_t nStart)
{
    const char16_t* p = m_p;
    const uint32_t n = m_nLen;
    uint32_t i = nStart + 1;
    while (i < n && !EndsName(p[i]))
        ++i;
    const uint32_t nNameEnd = i;
    uint32_t nCloseQuote = UINT32_MAX; // where the last quoted value closed
    enum { Attr, AfterEq, Unquoted } state = Attr;
    for (; i < n; ++i) {
        char16_t c = p[i];
        if (c == '>') {
            XmlToken t;
            t.nType = XML_NODE_ELEMENT;
            t.nStart = nStart;
            t.nLength = i + 1 - nStart;
            if (state == Attr && p[i - 1] == '/') {
                uint32_t s = i - 1;
                t.bEmptyTag = s == nNameEnd || IsSpace(p[s - 1]) || s - 1 == nCloseQuote;
            }
            m_nPos = i + 1;
            return t;
        }
        switch (state) {
        case Attr:
            if (c == '=')
                state = AfterEq;
            break;
        case AfterEq:
            if (c == '"' || c == '\'') {
                uint32_t k = i + 1;
                while (k < n && p[k] != c)
                    ++k;
                if (k >= n)
                    return Unterminated(nStart, "start_tag");
                nCloseQuote = k;
                i = k;
                state = Attr;
            } else if (!IsSpace(c)) {
                state = Unquoted;
            }
            break;
        case Unquoted:
            if (IsSpace(c))
                state = Attr;
            break;
        }
    }
    return Unterminated(nStart, "start_tag");
}

XmlToken CXmlTokenizer::DocType(uint32_t nStart)
{
    const char16_t* p = m_p;
    bool bInDecl = false;
    for (uint32_t i = nStart + 2; i < m_nLen; ++i) {
        char16_t c = p[i];
        if (c == '"' || c == '\'') {
            uint32_t k = i + 1;
            while (k < m_nLen && p[k] != c)
                ++k;
            if (k >= m_nLen)
                break;
            i = k;
        } else if (c == '<' && i + 1 < m_nLen && p[i + 1] == '!') {
            if (i + 2 >= m_nLen)
                break;
            char16_t d = p[i + 2];
            if (d != 'E' && d != 'A' && d != 'N')
                return Error(nStart, "doctype_tag_syntax", i); // resume after the bad declaration
            bInDecl = true;
            i += 2;
        } else if (c == '>') {
            if (bInDecl) {
                bInDecl = false;
            } else {
                XmlToken t;
                t.nType = XML_NODE_DOCTYPE;
                t.nStart = nStart;
                t.nLength = i + 1 - nStart;
                m_nPos = i + 1;
                return t;
            }
        }
    }
    return Unterminated(nStart, "document_type");
}

XmlToken CXmlTokenizer::Next()
{
    const char16_t* p = m_p;
    const uint32_t n = m_nLen;
    const uint32_t nStart = m_nPos;
    XmlToken t;
    if (nStart >= n) {
        t.nType = XML_NODE_END;
        t.nStart = n;
        return t;
    }
    if (p[nStart] != '<') {
        uint32_t i = nStart;
        while (i < n && IsSpace(p[i]))
            ++i;
        t.nType = XML_NODE_WHITESPACE;
        if (i < n && p[i] != '<') {
            t.nType = XML_NODE_TEXT;
            while (i < n && p[i] != '<')
                ++i;
        }
        t.nStart = nStart;
        t.nLength = i - nStart;
        m_nPos = i;
        return t;
    }
    if (nStart + 1 >= n)
        return Unterminated(nStart, "tag");
    char16_t c = p[nStart + 1];
    if (StartsTag(c))
        return StartTag(nStart);
    static constexpr char16_t kGt[] = u">";
    static constexpr char16_t kPiEnd[] = u"?>";
    static constexpr char16_t kCommentEnd[] = u"-->";
    static constexpr char16_t kCdataEnd[] = u"]]>";
    uint32_t nEnd;
    switch (c) {
    case '/':
        nEnd = Find(nStart + 2, kGt, 1);
        if (nEnd == UINT32_MAX)
            return Unterminated(nStart, "end_tag");
        t.nType = XML_NODE_ENDTAG;
        t.nStart = nStart;
        t.nLength = nEnd + 1 - nStart;
        m_nPos = nEnd + 1;
        return t;
    case '?':
        nEnd = Find(nStart + 2, kPiEnd, 2);
        if (nEnd == UINT32_MAX)
            return Unterminated(nStart, "processing_instruction");
        t.nType = XML_NODE_PI;
        t.nStart = nStart;
        t.nLength = nEnd + 2 - nStart;
        m_nPos = nEnd + 2;
        return t;
    case '!':
        break;
    default:
        return Error(nStart, "first_tag_syntax");
    }
    if (nStart + 2 >= n)
        return Unterminated(nStart, "tag");
    c = p[nStart + 2];
    if (c == '-') {
        if (nStart + 3 >= n)
            return Unterminated(nStart, "comment");
        if (p[nStart + 3] != '-')
            return Error(nStart, "comment_tag_syntax");
        nEnd = Find(nStart + 4, kCommentEnd, 3);
        if (nEnd == UINT32_MAX)
            return Unterminated(nStart, "comment");
        t.nType = XML_NODE_COMMENT;
        t.nLength = nEnd + 3 - nStart;
    } else if (c == '[') {
        if (nStart + 3 >= n)
            return Unterminated(nStart, "cdata_section");
        if (p[nStart + 3] != 'C')
            return Error(nStart, "cdata_section_syntax");
        nEnd = Find(nStart + 3, kCdataEnd, 3);
        if (nEnd == UINT32_MAX)
            return Unterminated(nStart, "cdata_section");
        t.nType = XML_NODE_CDATA;
        t.nLength = nEnd + 3 - nStart;
    } else if (c == 'D') {
        return DocType(nStart);
    } else {
        return Error(nStart, "exclamation_tag_syntax");
    }
    t.nStart = nStart;
    m_nPos = nStart + t.nLength;
    return t;
}
