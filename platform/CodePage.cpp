#include "CodePage.h"

#include <unicode/ucnv.h>
#include <unicode/unorm2.h>

#include <atomic>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>
#include <vector>

namespace platform {

namespace {

std::atomic<int> g_override{0};

// Upper case without the punctuation that spellings of one name differ in ("gb-2312", "UTF_8").
std::string Squeeze(std::string_view name)
{
    std::string s;
    for (char c : name)
        if (std::isalnum(static_cast<unsigned char>(c)))
            s += char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

int NumberAfter(const std::string& s, std::string_view prefix)
{
    if (s.size() <= prefix.size() || s.compare(0, prefix.size(), prefix) != 0)
        return 0;
    int n = 0;
    for (size_t i = prefix.size(); i < s.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(s[i])) || n > 99999)
            return 0;
        n = n * 10 + (s[i] - '0');
    }
    return n;
}

// ICU names to try for a code page, the first that opens wins.
std::vector<std::string> IcuNames(int cp)
{
    switch (cp) {
    case CP_UTF8: return {"UTF-8"};
    case 20127: return {"US-ASCII"};
    case 936: return {"windows-936", "GBK"};
    case 54936: return {"GB18030"};
    case 950: return {"windows-950", "Big5"};
    case 932: return {"windows-932", "ibm-943_P15A-2003", "Shift_JIS"};
    case 949: return {"windows-949"};
    case 51932: return {"EUC-JP"};
    case 51936: return {"EUC-CN", "GB2312"};
    case 51949: return {"EUC-KR"};
    case 51950: return {"EUC-TW"};
    case 20866: return {"KOI8-R"};
    case 21866: return {"KOI8-U"};
    case 28603: return {"ISO-8859-13"};
    case 28605: return {"ISO-8859-15"};
    default: break;
    }
    if (cp >= 28591 && cp <= 28599)
        return {"ISO-8859-" + std::to_string(cp - 28590)};
    const std::string n = std::to_string(cp);
    return {"windows-" + n, "cp" + n, "ibm-" + n};
}

UConverter* OpenConverter(int cp)
{
    if (cp == CP_ACP) {
        UErrorCode err = U_ZERO_ERROR;
        UConverter* c = ucnv_open(nullptr, &err); // the locale's own character set
        if (U_SUCCESS(err))
            return c;
        if (c)
            ucnv_close(c);
        return nullptr;
    }
    if (cp < 0)
        return nullptr;
    for (const std::string& name : IcuNames(cp)) {
        UErrorCode err = U_ZERO_ERROR;
        UConverter* c = ucnv_open(name.c_str(), &err);
        if (U_SUCCESS(err))
            return c;
        if (c)
            ucnv_close(c);
    }
    return nullptr;
}

// One converter per code page, substitute and thread, kept: text files convert line by line.
struct ConverterCache {
    struct Entry {
        int cp;
        char sub;
        UConverter* cnv;
    };
    std::vector<Entry> entries;
    ~ConverterCache()
    {
        for (Entry& e : entries)
            if (e.cnv)
                ucnv_close(e.cnv);
    }
    UConverter* get(int cp, char sub)
    {
        for (Entry& e : entries)
            if (e.cp == cp && e.sub == sub) {
                if (e.cnv)
                    ucnv_reset(e.cnv);
                return e.cnv;
            }
        if (entries.size() >= 8) {
            if (entries.front().cnv)
                ucnv_close(entries.front().cnv);
            entries.erase(entries.begin());
        }
        UConverter* cnv = OpenConverter(cp);
        if (cnv && sub) {
            UErrorCode err = U_ZERO_ERROR;
            ucnv_setSubstChars(cnv, &sub, 1, &err); // a code page that refuses it keeps its own
        }
        entries.push_back({cp, sub, cnv});
        return cnv;
    }
};

UConverter* Converter(int cp, char sub = 0)
{
    thread_local ConverterCache cache;
    return cache.get(cp, sub);
}

std::u16string Composed(std::u16string_view in)
{
    UErrorCode err = U_ZERO_ERROR;
    const UNormalizer2* nfc = unorm2_getNFCInstance(&err);
    if (U_FAILURE(err) || in.size() > size_t(INT32_MAX / 2))
        return std::u16string(in);
    const auto* src = reinterpret_cast<const UChar*>(in.data());
    if (unorm2_isNormalized(nfc, src, int32_t(in.size()), &err) && U_SUCCESS(err))
        return std::u16string(in);
    err = U_ZERO_ERROR;
    // Composition never lengthens text much; retry once with the size ICU asks for.
    std::u16string out(in.size() + 16, u'\0');
    int32_t n = unorm2_normalize(nfc, src, int32_t(in.size()), reinterpret_cast<UChar*>(out.data()),
                                 int32_t(out.size()), &err);
    if (err == U_BUFFER_OVERFLOW_ERROR) {
        err = U_ZERO_ERROR;
        out.assign(size_t(n), u'\0');
        n = unorm2_normalize(nfc, src, int32_t(in.size()), reinterpret_cast<UChar*>(out.data()), n, &err);
    }
    if (U_FAILURE(err))
        return std::u16string(in);
    out.resize(size_t(n));
    return out;
}

} // namespace

int CodePageOfCharset(std::string_view charset)
{
    const std::string s = Squeeze(charset);
    struct Name {
        const char* name;
        int cp;
    };
    static const Name kNames[] = {
        {"UTF8", CP_UTF8},       {"GB2312", 936},      {"EUCCN", 936},       {"GBK", 936},
        {"GB18030", 54936},      {"BIG5", 950},        {"BIG5HKSCS", 950},   {"SJIS", 932},
        {"SHIFTJIS", 932},       {"WINDOWS31J", 932},  {"EUCJP", 51932},     {"EUCKR", 51949},
        {"UHC", 949},            {"EUCTW", 51950},     {"KOI8R", 20866},     {"KOI8U", 21866},
        {"ANSIX341968", 20127},  {"ASCII", 20127},     {"USASCII", 20127},   {"ISO885913", 28603},
        {"ISO885915", 28605},    {"TIS620", 874},
    };
    for (const Name& n : kNames)
        if (s == n.name)
            return n.cp;
    if (int n = NumberAfter(s, "ISO8859"); n >= 1 && n <= 9)
        return 28590 + n;
    for (const char* prefix : {"WINDOWS", "CP", "MS", "IBM"})
        if (int n = NumberAfter(s, prefix))
            return n;
    return 0;
}

int LocaleCodePage()
{
    int cp = 0;
    if (locale_t loc = newlocale(LC_CTYPE_MASK, "", locale_t(nullptr))) {
        cp = CodePageOfCharset(nl_langinfo_l(CODESET, loc));
        freelocale(loc);
    } else {
        // The locale named is not installed: its name still says the character set the user's
        // files are in ("zh_CN.GB2312").
        for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) {
            const char* v = std::getenv(var);
            if (!v || !*v)
                continue;
            std::string_view name(v);
            const size_t dot = name.find('.');
            if (dot != std::string_view::npos) {
                name = name.substr(dot + 1);
                name = name.substr(0, name.find('@'));
                cp = CodePageOfCharset(name);
            }
            break;
        }
    }
    // The bare C locale of services and containers counts as UTF-8, as Qt itself treats it, so
    // that text is not turned into "#" for want of a locale.
    return cp == 20127 ? CP_UTF8 : cp;
}

int AnsiCodePage()
{
    if (int cp = g_override.load())
        return cp;
    static const int locale = LocaleCodePage();
    return locale;
}

void SetAnsiCodePage(int codePage) { g_override.store(codePage < 0 ? 0 : codePage); }

bool IsCodePageAvailable(int codePage) { return Converter(codePage) != nullptr; }

bool WideToMultiByte(int codePage, std::u16string_view in, std::string& out, char defaultChar, bool composite)
{
    out.clear();
    UConverter* cnv = Converter(codePage, defaultChar);
    if (!cnv)
        return false;
    if (in.empty())
        return true;
    std::u16string composed;
    if (composite) {
        composed = Composed(in);
        in = composed;
    }
    if (in.size() > size_t(INT32_MAX / 4))
        return false;
    const auto* src = reinterpret_cast<const UChar*>(in.data());
    UErrorCode err = U_ZERO_ERROR;
    // Most text fits a first guess; ICU says how much it needs when not.
    out.resize(in.size() * size_t(ucnv_getMaxCharSize(cnv)) + 8);
    int32_t n = ucnv_fromUChars(cnv, out.data(), int32_t(out.size()), src, int32_t(in.size()), &err);
    if (err == U_BUFFER_OVERFLOW_ERROR) {
        err = U_ZERO_ERROR;
        ucnv_reset(cnv);
        out.resize(size_t(n) + 1);
        n = ucnv_fromUChars(cnv, out.data(), int32_t(out.size()), src, int32_t(in.size()), &err);
    }
    if (U_FAILURE(err)) {
        out.clear();
        return false;
    }
    out.resize(size_t(n));
    return true;
}

bool MultiByteToWide(int codePage, std::string_view in, std::u16string& out)
{
    out.clear();
    UConverter* cnv = Converter(codePage);
    if (!cnv)
        return false;
    if (in.empty())
        return true;
    if (in.size() > size_t(INT32_MAX / 2))
        return false;
    UErrorCode err = U_ZERO_ERROR;
    out.resize(in.size() * 2 + 8);
    int32_t n = ucnv_toUChars(cnv, reinterpret_cast<UChar*>(out.data()), int32_t(out.size()), in.data(),
                              int32_t(in.size()), &err);
    if (err == U_BUFFER_OVERFLOW_ERROR) {
        err = U_ZERO_ERROR;
        ucnv_reset(cnv);
        out.resize(size_t(n) + 1);
        n = ucnv_toUChars(cnv, reinterpret_cast<UChar*>(out.data()), int32_t(out.size()), in.data(),
                          int32_t(in.size()), &err);
    }
    if (U_FAILURE(err)) {
        out.clear();
        return false;
    }
    out.resize(size_t(n));
    return true;
}

int IncompleteTail(int codePage, std::string_view text)
{
    UConverter* cnv = Converter(codePage);
    if (!cnv || text.empty() || text.size() > size_t(INT32_MAX / 4))
        return 0;
    std::vector<UChar> scratch(text.size() * 2 + 8);
    const char* src = text.data();
    UChar* dst = scratch.data();
    UErrorCode err = U_ZERO_ERROR;
    ucnv_toUnicode(cnv, &dst, scratch.data() + scratch.size(), &src, text.data() + text.size(), nullptr,
                   false, &err);
    if (U_FAILURE(err))
        return 0;
    const int32_t pending = ucnv_toUCountPending(cnv, &err);
    ucnv_reset(cnv);
    if (U_FAILURE(err) || pending < 0 || size_t(pending) >= text.size())
        return 0;
    return pending;
}

} // namespace platform
