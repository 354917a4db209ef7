// One-pass tokenizer over the document text. It never copies or changes the text; a token is
// a type, an offset and a length. Malformed markup becomes an error token with a result entry
// name, so that the caller can go on after it.
#pragma once

#include <cstdint>
#include <string_view>

enum XmlNodeType : int
{
    XML_NODE_NONE = 0,
    XML_NODE_ELEMENT = 1,
    XML_NODE_TEXT = 2,
    XML_NODE_WHITESPACE = 4,
    XML_NODE_CDATA = 8,
    XML_NODE_PI = 16,
    XML_NODE_COMMENT = 32,
    XML_NODE_DOCTYPE = 64,
    XML_NODE_ENDTAG = 128,
    XML_NODE_ERROR = 256,
    XML_NODE_END = 512,
};

struct XmlToken
{
    int nType = XML_NODE_END;
    uint32_t nStart = 0;
    uint32_t nLength = 0;
    bool bEmptyTag = false;     // start tag ending in "/>"
    const char* pszError = nullptr; // result entry name for an error token
    const char* pszUnterminated = nullptr; // "type" of "unterminated_tag_syntax"
};

namespace XmlChars
{
inline bool IsSpace(char16_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
// Characters that end a name in the text.
inline bool EndsName(char16_t c)
{
    switch (c) {
    case ' ': case '\t': case '\n': case '\r': case '<': case '>': case '=': case '\\': case '/':
    case '?': case '!': case '"': case '\'': case ';':
        return true;
    default:
        return false;
    }
}
inline bool StartsTag(char16_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= '{' || c == ':' || c == '_';
}
inline char16_t Lower(char16_t c) { return (c >= 'A' && c <= 'Z') ? char16_t(c + 32) : c; }
} // namespace XmlChars

class CXmlTokenizer
{
public:
    CXmlTokenizer(const char16_t* p, uint32_t nLen) : m_p(p), m_nLen(nLen) {}
    CXmlTokenizer(std::u16string_view s) : m_p(s.data()), m_nLen(uint32_t(s.size())) {}

    void SetOffset(uint32_t n) { m_nPos = n; }
    uint32_t Offset() const { return m_nPos; }
    // Limits the scan to [offset, nEnd); used when re-reading an element's content.
    void SetEnd(uint32_t nEnd) { m_nLen = nEnd; }

    XmlToken Next();

    // Length of the name starting at nPos.
    uint32_t NameLength(uint32_t nPos) const
    {
        uint32_t i = nPos;
        while (i < m_nLen && !XmlChars::EndsName(m_p[i]))
            ++i;
        return i - nPos;
    }

private:
    XmlToken Error(uint32_t nStart, const char* pszName, uint32_t nScanFrom = 0);
    XmlToken Unterminated(uint32_t nStart, const char* pszType);
    uint32_t Find(uint32_t nFrom, const char16_t* pszPat, uint32_t nPatLen) const;
    XmlToken StartTag(uint32_t nStart);
    XmlToken DocType(uint32_t nStart);

    const char16_t* m_p;
    uint32_t m_nLen;
    uint32_t m_nPos = 0;
};
