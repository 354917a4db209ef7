// The encoding a text names for itself: the xml declaration's "encoding", or for HTML the
// charset of a <meta http-equiv="Content-Type"> in the head. Names are compared ignoring case.
#include "XmlDocument.h"

using namespace XmlChars;

namespace
{
bool EqualsNoCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

// Finds an attribute in text[from, to) (a tag without its name); empty view when absent.
bool FindAttr(std::u16string_view s, size_t nPos, size_t nEnd, std::u16string_view name, std::u16string_view& value)
{
    while (nPos < nEnd) {
        while (nPos < nEnd && IsSpace(s[nPos]))
            ++nPos;
        size_t nName = nPos;
        while (nPos < nEnd && !EndsName(s[nPos]))
            ++nPos;
        if (nPos == nName) {
            ++nPos;
            continue;
        }
        std::u16string_view attr = s.substr(nName, nPos - nName);
        size_t q = nPos;
        while (q < nEnd && IsSpace(s[q]))
            ++q;
        std::u16string_view v;
        if (q < nEnd && s[q] == '=') {
            ++q;
            while (q < nEnd && IsSpace(s[q]))
                ++q;
            if (q < nEnd && (s[q] == '"' || s[q] == '\'')) {
                size_t c = s.find(s[q], q + 1);
                if (c == std::u16string_view::npos || c > nEnd)
                    c = nEnd;
                v = s.substr(q + 1, c - q - 1);
                nPos = c < nEnd ? c + 1 : nEnd;
            } else {
                size_t c = q;
                while (c < nEnd && !IsSpace(s[c]))
                    ++c;
                v = s.substr(q, c - q);
                nPos = c;
            }
        }
        if (EqualsNoCase(attr, name)) {
            value = v;
            return true;
        }
    }
    return false;
}

std::u16string_view TagName(std::u16string_view s, const XmlToken& t, size_t nSkip)
{
    size_t n = t.nStart + nSkip, k = n;
    while (k < t.nStart + t.nLength && !EndsName(s[k]))
        ++k;
    return s.substr(n, k - n);
}
} // namespace

std::u16string CXmlDocument::DeclaredEncoding(std::u16string_view text)
{
    CXmlTokenizer tok(text);
    XmlToken t = tok.Next();
    std::u16string_view v;
    if (t.nType == XML_NODE_PI && t.nStart == 0 && EqualsNoCase(TagName(text, t, 2), u"xml")) {
        if (FindAttr(text, t.nStart + 5, t.nStart + t.nLength - 2, u"encoding", v))
            return std::u16string(v);
        return {};
    }
    // Otherwise only an HTML page's meta charset counts.
    while (t.nType != XML_NODE_ELEMENT) {
        if (t.nType == XML_NODE_END || t.nType == XML_NODE_ERROR)
            return {};
        t = tok.Next();
    }
    if (!EqualsNoCase(TagName(text, t, 1), u"html"))
        return {};
    for (;;) {
        t = tok.Next();
        if (t.nType == XML_NODE_END || t.nType == XML_NODE_ERROR)
            return {};
        if (t.nType == XML_NODE_ENDTAG && EqualsNoCase(TagName(text, t, 2), u"head"))
            return {};
        if (t.nType != XML_NODE_ELEMENT)
            continue;
        std::u16string_view name = TagName(text, t, 1);
        if (!EqualsNoCase(name, u"meta"))
            continue;
        size_t nAttrs = t.nStart + 1 + name.size();
        size_t nEnd = t.nStart + t.nLength - 1;
        if (!FindAttr(text, nAttrs, nEnd, u"http-equiv", v) || !EqualsNoCase(v, u"Content-Type"))
            continue;
        if (!FindAttr(text, nAttrs, nEnd, u"content", v))
            continue;
        std::u16string lower;
        for (char16_t c : v)
            lower += Lower(c);
        size_t k = lower.find(u"charset");
        if (k == std::u16string::npos)
            continue;
        k += 7;
        while (k < v.size() && IsSpace(v[k]))
            ++k;
        if (k >= v.size() || v[k] != '=')
            continue;
        ++k;
        while (k < v.size() && IsSpace(v[k]))
            ++k;
        size_t e = k;
        while (e < v.size() && v[e] != ';' && !IsSpace(v[e]) && v[e] != '"' && v[e] != '\'')
            ++e;
        if (e > k)
            return std::u16string(v.substr(k, e - k));
    }
}
