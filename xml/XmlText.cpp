#include "XmlText.h"

namespace XmlText
{

size_t ReferenceLength(std::u16string_view s)
{
    if (s.size() < 3 || s[0] != '&')
        return 0;
    auto isLetter = [](char16_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    char16_t c = s[1];
    if (!(isLetter(c) || c == '#' || c == '_' || c == ':'))
        return 0;
    for (size_t i = 2; i < s.size(); ++i) {
        c = s[i];
        if (c == ';')
            return i + 1;
        bool ok = isLetter(c) || (c >= '0' && c <= '9') || c == '_' || c == ':' || c == '-' || c == '.' || c >= 127;
        if (!ok)
            return 0;
    }
    return 0;
}

void AppendEscaped(std::u16string& out, std::u16string_view text, bool bAttribute, bool bAllowRefs)
{
    out.reserve(out.size() + text.size() + text.size() / 10 + 7);
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        switch (c) {
        case '<': out += u"&lt;"; break;
        case '>': out += u"&gt;"; break;
        case '&':
            if (bAllowRefs) {
                size_t n = ReferenceLength(text.substr(i));
                if (n) {
                    out.append(text.substr(i, n));
                    i += n - 1;
                    break;
                }
            }
            out += u"&amp;";
            break;
        case '\'':
            if (bAttribute)
                out += u"&apos;";
            else
                out += c;
            break;
        case '"':
            if (bAttribute)
                out += u"&quot;";
            else
                out += c;
            break;
        default:
            out += c;
        }
    }
}

std::u16string Escape(std::u16string_view text, bool bAttribute, bool bAllowRefs)
{
    std::u16string out;
    AppendEscaped(out, text, bAttribute, bAllowRefs);
    return out;
}

std::u16string CData(std::u16string_view text)
{
    std::u16string out = u"<![CDATA[";
    size_t from = 0;
    for (;;) {
        size_t k = text.find(u"]]>", from);
        if (k == std::u16string_view::npos)
            break;
        out.append(text.substr(from, k + 2 - from)); // up to and including "]]"
        out += u"]]><![CDATA[";
        from = k + 2; // the ">" opens the next section
    }
    out.append(text.substr(from));
    out += u"]]>";
    return out;
}

std::u16string DecodeReferences(const char16_t* p, long nLen)
{
    if (!p)
        return {};
    size_t n = nLen < 0 ? std::char_traits<char16_t>::length(p) : size_t(nLen);
    std::u16string out;
    out.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        char16_t c = p[i];
        if (c != '&') {
            out += c;
            continue;
        }
        char16_t name[10];
        size_t k = 0;
        while (k < 9 && i + 1 + k < n && p[i + 1 + k] < 128 && p[i + 1 + k] != ';') {
            name[k] = p[i + 1 + k];
            ++k;
        }
        char32_t cp = 0;
        if (k > 0 && i + 1 + k < n && p[i + 1 + k] == ';') {
            if (name[0] == '#') {
                size_t d = 1;
                int base = 10;
                if (k > 1 && (name[1] == 'x' || name[1] == 'X')) {
                    base = 16;
                    d = 2;
                }
                uint32_t v = 0;
                bool ok = d < k;
                for (; d < k && ok; ++d) {
                    char16_t ch = name[d];
                    int dig = -1;
                    if (ch >= '0' && ch <= '9')
                        dig = ch - '0';
                    else if (base == 16 && ch >= 'a' && ch <= 'f')
                        dig = ch - 'a' + 10;
                    else if (base == 16 && ch >= 'A' && ch <= 'F')
                        dig = ch - 'A' + 10;
                    if (dig < 0)
                        ok = false;
                    else
                        v = v * base + dig;
                    if (v > 0x10FFFF)
                        ok = false;
                }
                // Lone surrogates and values past Unicode are left as written rather than
                // turned into text that no encoder can write back.
                if (ok && !(v >= 0xD800 && v <= 0xDFFF))
                    cp = v;
            } else {
                cp = EntityCodePoint(name, k);
            }
        }
        if (cp == 0) {
            out += c;
            continue;
        }
        if (cp > 0xFFFF) {
            cp -= 0x10000;
            out += char16_t(0xD800 + (cp >> 10));
            out += char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            out += char16_t(cp);
        }
        i += k + 1;
    }
    return out;
}

std::u16string DecodeReferences(std::u16string_view text)
{
    return DecodeReferences(text.data(), long(text.size()));
}

} // namespace XmlText
