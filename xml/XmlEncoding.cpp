#include "XmlEncoding.h"

#include "XmlEncodingAliases.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>
#include <atomic>
#include <clocale>
#include <cstdio>
#include <langinfo.h>
#include <locale.h>
#include <string>

namespace
{
constexpr size_t kBuckets = 155;

char16_t Lower(char16_t c) { return (c >= 'A' && c <= 'Z') ? char16_t(c + 32) : c; }

// Bucket texts: two digits of name length, five digits of code page, the name in small letters.
struct AliasTable
{
    std::array<std::u16string, kBuckets> buckets;
    AliasTable()
    {
        for (size_t i = 0; i < kXmlAliasCount; ++i) {
            const XmlAlias& a = kXmlAliases[i];
            std::u16string name;
            unsigned sum = 0;
            for (const char* p = a.pszName; *p; ++p) {
                name += Lower(char16_t(static_cast<unsigned char>(*p)));
                sum += name.back();
            }
            char head[8];
            std::snprintf(head, sizeof head, "%02u%05d", unsigned(name.size()), a.nCodePage);
            std::u16string& b = buckets[sum % kBuckets];
            for (const char* p = head; *p; ++p)
                b += char16_t(*p);
            b += name;
        }
    }
};

const AliasTable& Aliases()
{
    static const AliasTable t;
    return t;
}

std::atomic<int> g_nAnsiOverride{0};

int LocaleCodePage()
{
    locale_t loc = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (!loc)
        return XmlEncoding::kUtf8;
    int cp = XmlEncoding::GetCodePage(std::string_view(nl_langinfo_l(CODESET, loc)));
    freelocale(loc);
    return cp > 0 ? cp : XmlEncoding::kUtf8;
}

// ICU names to try for a Windows code page; the first that opens wins.
std::vector<std::string> IcuNames(int cp)
{
    switch (cp) {
    case 20127: return {"US-ASCII"};
    case 28591: case 28592: case 28593: case 28594: case 28595: case 28596: case 28597: case 28598: case 28599:
        return {"ISO-8859-" + std::to_string(cp - 28590)};
    case 28603: return {"ISO-8859-13"};
    case 28605: return {"ISO-8859-15"};
    case 38598: return {"ISO-8859-8-I", "ISO-8859-8"};
    case 932: return {"windows-932", "ibm-943_P15A-2003", "Shift_JIS"};
    case 936: return {"windows-936", "GBK"};
    case 949: return {"windows-949"};
    case 950: return {"windows-950", "Big5"};
    case 51932: return {"EUC-JP"};
    case 51936: return {"EUC-CN", "GB2312"};
    case 51949: return {"EUC-KR"};
    case 50220: case 50221: case 50222: return {"ISO-2022-JP"};
    case 50225: return {"ISO-2022-KR"};
    case 52936: return {"HZ-GB-2312", "HZ"};
    case 54936: return {"GB18030"};
    case 65000: return {"UTF-7"};
    case 12000: return {"UTF-32LE"};
    case 12001: return {"UTF-32BE"};
    case 20866: return {"KOI8-R"};
    case 21866: return {"KOI8-U"};
    case 10000: return {"macintosh", "x-mac-roman"};
    case 10007: return {"x-mac-cyrillic"};
    case 10029: return {"x-mac-centraleurroman"};
    case 10081: return {"x-mac-turkish"};
    case 1361: return {"ibm-1361", "johab"};
    case 720: return {"ibm-720"};
    case 20936: return {"GB2312"};
    case 20949: return {"EUC-KR"};
    case 50227: return {"ISO-2022-CN"};
    case 10006: return {"x-mac-greek", "macos-6_2-10.4"};
    default:
        break;
    }
    std::string n = std::to_string(cp);
    return {"windows-" + n, "cp" + n, "ibm-" + n};
}

UConverter* OpenIcu(int cp)
{
    for (const std::string& name : IcuNames(cp)) {
        UErrorCode err = U_ZERO_ERROR;
        UConverter* c = ucnv_open(name.c_str(), &err);
        if (U_SUCCESS(err)) // an ambiguous alias still names a usable converter
            return c;
        if (c)
            ucnv_close(c);
    }
    return nullptr;
}

// Code pages whose converters give no report of a substituted character.
bool NoLossReport(int cp)
{
    return (cp >= 50220 && cp <= 50222) || cp == 50225 || cp == 50227 || cp == 50229 || cp == 52936 ||
           cp == 54936 || (cp >= 57002 && cp <= 57011) || cp == 65000 || cp == 65001;
}

struct LossContext
{
    bool bLoss = false;
};

void LossCallback(const void* context, UConverterFromUnicodeArgs* args, const UChar* codeUnits, int32_t length,
                  UChar32 codePoint, UConverterCallbackReason reason, UErrorCode* err)
{
    if (reason == UCNV_UNASSIGNED || reason == UCNV_ILLEGAL || reason == UCNV_IRREGULAR)
        static_cast<LossContext*>(const_cast<void*>(context))->bLoss = true;
    UCNV_FROM_U_CALLBACK_SUBSTITUTE(nullptr, args, codeUnits, length, codePoint, reason, err);
}

int Resolve(int cp)
{
    return cp <= 0 ? XmlEncoding::AnsiCodePage() : cp;
}

void Utf32ToUtf16(std::string_view in, std::u16string& out)
{
    out.clear();
    out.reserve(in.size() / 4);
    for (size_t i = 0; i + 4 <= in.size(); i += 4) {
        char32_t v;
        std::memcpy(&v, in.data() + i, 4);
        if (v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) {
            out += u'?';
        } else if (v > 0xFFFF) {
            v -= 0x10000;
            out += char16_t(0xD800 + (v >> 10));
            out += char16_t(0xDC00 + (v & 0x3FF));
        } else {
            out += char16_t(v);
        }
    }
    // A last unit cut short is broken input like any other.
    if (in.size() % 4)
        out += u'?';
}

void Utf16ToUtf32(std::u16string_view in, std::string& out)
{
    out.clear();
    out.reserve(in.size() * 4);
    for (size_t i = 0; i < in.size(); ++i) {
        char32_t v = in[i];
        if (v >= 0xD800 && v <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF) {
            v = 0x10000 + ((v - 0xD800) << 10) + (in[i + 1] - 0xDC00);
            ++i;
        } else if (v >= 0xD800 && v <= 0xDFFF) {
            v = '?';
        }
        out.append(reinterpret_cast<const char*>(&v), 4);
    }
}
} // namespace

namespace XmlEncoding
{

int GetCodePage(std::u16string_view name)
{
    if (name.empty())
        return 0;
    static constexpr char16_t kUtf32Prefix[] = u"utf-32";
    if (name.size() >= 6) {
        bool bUtf32 = true;
        for (size_t i = 0; i < 6 && bUtf32; ++i)
            bUtf32 = Lower(name[i]) == kUtf32Prefix[i];
        if (bUtf32)
            return kUtf32;
    }
    if (name.size() > 99)
        return -1;
    std::u16string lower(name);
    unsigned sum = 0;
    for (char16_t& c : lower) {
        c = Lower(c);
        sum += c;
    }
    const std::u16string& b = Aliases().buckets[sum % kBuckets];
    for (size_t i = 0; i + 7 <= b.size();) {
        size_t len = size_t((b[i] - '0') * 10 + (b[i + 1] - '0'));
        if (len == lower.size() && b.compare(i + 7, len, lower) == 0) {
            int cp = 0;
            for (size_t d = 2; d < 7; ++d)
                cp = cp * 10 + (b[i + d] - '0');
            return cp;
        }
        i += 7 + len;
    }
    return -1;
}

int GetCodePage(std::string_view name)
{
    std::u16string w;
    w.reserve(name.size());
    for (char c : name)
        w += char16_t(static_cast<unsigned char>(c));
    return GetCodePage(std::u16string_view(w));
}

int AnsiCodePage()
{
    int v = g_nAnsiOverride.load(std::memory_order_relaxed);
    if (v > 0)
        return v;
    static const int nLocale = LocaleCodePage();
    return nLocale;
}

void SetAnsiCodePage(int nCodePage)
{
    g_nAnsiOverride.store(nCodePage > 0 ? nCodePage : 0, std::memory_order_relaxed);
}

bool IsValidUtf8(std::string_view in)
{
    const auto* p = reinterpret_cast<const unsigned char*>(in.data());
    size_t n = in.size(), i = 0;
    while (i < n) {
        unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t len;
        char32_t v, min;
        if (c >= 0xC2 && c <= 0xDF) { len = 2; v = c & 0x1F; min = 0x80; }
        else if (c >= 0xE0 && c <= 0xEF) { len = 3; v = c & 0x0F; min = 0x800; }
        else if (c >= 0xF0 && c <= 0xF4) { len = 4; v = c & 0x07; min = 0x10000; }
        else return false;
        if (i + len > n)
            return false;
        for (size_t k = 1; k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            v = (v << 6) | (p[i + k] & 0x3F);
        }
        if (v < min || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

void Utf8ToUtf16(std::string_view in, std::u16string& out)
{
    out.clear();
    out.reserve(in.size() + in.size() / 100);
    const auto* p = reinterpret_cast<const unsigned char*>(in.data());
    size_t n = in.size(), i = 0;
    while (i < n) {
        unsigned char c = p[i];
        if (c < 0x80) {
            out += char16_t(c);
            ++i;
            continue;
        }
        size_t len = 0;
        char32_t v = 0, min = 0;
        if (c >= 0xC2 && c <= 0xDF) { len = 2; v = c & 0x1F; min = 0x80; }
        else if (c >= 0xE0 && c <= 0xEF) { len = 3; v = c & 0x0F; min = 0x800; }
        else if (c >= 0xF0 && c <= 0xF4) { len = 4; v = c & 0x07; min = 0x10000; }
        size_t k = 1;
        if (len) {
            for (; k < len && i + k < n && (p[i + k] & 0xC0) == 0x80; ++k)
                v = (v << 6) | (p[i + k] & 0x3F);
        }
        if (!len || k < len || v < min || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) {
            // One "?" per broken sequence; the bytes that broke it are read again.
            out += u'?';
            i += len && k > 1 ? k : 1;
            continue;
        }
        if (v > 0xFFFF) {
            v -= 0x10000;
            out += char16_t(0xD800 + (v >> 10));
            out += char16_t(0xDC00 + (v & 0x3FF));
        } else {
            out += char16_t(v);
        }
        i += len;
    }
}

void Utf16ToUtf8(std::u16string_view in, std::string& out)
{
    out.clear();
    out.reserve(in.size() + in.size() / 2);
    for (size_t i = 0; i < in.size(); ++i) {
        char32_t v = in[i];
        if (v < 0x80) {
            out += char(v);
            continue;
        }
        if (v >= 0xD800 && v <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF) {
            v = 0x10000 + ((v - 0xD800) << 10) + (in[i + 1] - 0xDC00);
            ++i;
        } else if (v >= 0xD800 && v <= 0xDFFF) {
            out += '?';
            continue;
        }
        if (v < 0x800) {
            out += char(0xC0 | (v >> 6));
        } else if (v < 0x10000) {
            out += char(0xE0 | (v >> 12));
            out += char(0x80 | ((v >> 6) & 0x3F));
        } else {
            out += char(0xF0 | (v >> 18));
            out += char(0x80 | ((v >> 12) & 0x3F));
            out += char(0x80 | ((v >> 6) & 0x3F));
        }
        out += char(0x80 | (v & 0x3F));
    }
}

bool Decode(int nCodePage, std::string_view in, std::u16string& out)
{
    int cp = Resolve(nCodePage);
    out.clear();
    switch (cp) {
    case kUtf8:
        Utf8ToUtf16(in, out);
        return true;
    case kUtf16LE:
    case kUtf16BE:
        out.resize(in.size() / 2);
        std::memcpy(out.data(), in.data(), out.size() * 2);
        if (cp == kUtf16BE)
            for (char16_t& c : out)
                c = char16_t((c << 8) | (c >> 8));
        if (in.size() % 2) // a lone last byte is broken input, not nothing
            out += u'?';
        return true;
    case kUtf32:
        Utf32ToUtf16(in, out);
        return true;
    default:
        break;
    }
    UConverter* cnv = OpenIcu(cp);
    if (!cnv)
        return false;
    UErrorCode err = U_ZERO_ERROR;
    // Measure first, then convert into a buffer of that size.
    int32_t need = ucnv_toUChars(cnv, nullptr, 0, in.data(), int32_t(in.size()), &err);
    if (err == U_BUFFER_OVERFLOW_ERROR || U_SUCCESS(err)) {
        err = U_ZERO_ERROR;
        out.reserve(size_t(need) + size_t(need) / 100 + 1);
        out.resize(size_t(need) + 1);
        ucnv_reset(cnv);
        ucnv_toUChars(cnv, out.data(), need + 1, in.data(), int32_t(in.size()), &err);
        out.resize(size_t(need));
    }
    ucnv_close(cnv);
    return U_SUCCESS(err);
}

bool Encode(int nCodePage, std::u16string_view in, std::string& out, bool* pbLoss)
{
    int cp = Resolve(nCodePage);
    if (pbLoss)
        *pbLoss = false;
    out.clear();
    switch (cp) {
    case kUtf8:
        Utf16ToUtf8(in, out);
        return true;
    case kUtf16LE:
    case kUtf16BE:
        out.resize(in.size() * 2);
        for (size_t i = 0; i < in.size(); ++i) {
            char16_t c = cp == kUtf16BE ? char16_t((in[i] << 8) | (in[i] >> 8)) : in[i];
            std::memcpy(out.data() + 2 * i, &c, 2);
        }
        return true;
    case kUtf32:
        Utf16ToUtf32(in, out);
        return true;
    default:
        break;
    }
    UConverter* cnv = OpenIcu(cp);
    if (!cnv)
        return false;
    UErrorCode err = U_ZERO_ERROR;
    // Unmappable characters become "?" as written in this code page.
    char subst[8];
    int32_t nSubst = ucnv_fromUChars(cnv, subst, sizeof subst, u"?", 1, &err);
    if (U_SUCCESS(err) && nSubst > 0 && nSubst <= 4) {
        ucnv_setSubstChars(cnv, subst, int8_t(nSubst), &err);
    }
    err = U_ZERO_ERROR;
    ucnv_reset(cnv);
    LossContext ctx;
    if (!NoLossReport(cp))
        ucnv_setFromUCallBack(cnv, LossCallback, &ctx, nullptr, nullptr, &err);
    int32_t need = ucnv_fromUChars(cnv, nullptr, 0, in.data(), int32_t(in.size()), &err);
    if (err == U_BUFFER_OVERFLOW_ERROR || U_SUCCESS(err)) {
        err = U_ZERO_ERROR;
        ctx.bLoss = false;
        out.resize(size_t(need) + 1);
        ucnv_reset(cnv);
        ucnv_fromUChars(cnv, out.data(), need + 1, in.data(), int32_t(in.size()), &err);
        out.resize(size_t(need));
    }
    ucnv_close(cnv);
    if (pbLoss)
        *pbLoss = ctx.bLoss;
    return U_SUCCESS(err);
}

bool ConvertText(std::string_view from, std::string_view to, std::string_view in, std::string& out, bool* pbLoss)
{
    int cpFrom = std::max(GetCodePage(from), 0);
    int cpTo = std::max(GetCodePage(to), 0);
    std::u16string wide;
    if (!Decode(cpFrom, in, wide))
        return false;
    return Encode(cpTo, wide, out, pbLoss);
}

size_t AliasCount()
{
    size_t n = 0;
    for (const std::u16string& b : Aliases().buckets)
        for (size_t i = 0; i + 7 <= b.size(); i += 7 + size_t((b[i] - '0') * 10 + (b[i + 1] - '0')))
            ++n;
    return n;
}

size_t AliasBucketCount() { return kBuckets; }

} // namespace XmlEncoding
