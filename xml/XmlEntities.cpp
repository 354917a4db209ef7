// The named character references: the HTML 4 character entities and "apos". The table is kept
// as hashed bucket texts (entry: '0'+name length, four-digit code point, name in small letters),
// so that names differing only in case (Ouml/ouml) share an entry pair, capital form first.
#include "XmlText.h"

#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace
{
struct Entity
{
    const char* pszName;
    unsigned nCode;
};

constexpr Entity kEntities[] = {
    {"quot", 34}, {"amp", 38}, {"apos", 39}, {"lt", 60}, {"gt", 62},
    {"nbsp", 160}, {"iexcl", 161}, {"cent", 162}, {"pound", 163}, {"curren", 164}, {"yen", 165},
    {"brvbar", 166}, {"sect", 167}, {"uml", 168}, {"copy", 169}, {"ordf", 170}, {"laquo", 171},
    {"not", 172}, {"shy", 173}, {"reg", 174}, {"macr", 175}, {"deg", 176}, {"plusmn", 177},
    {"sup2", 178}, {"sup3", 179}, {"acute", 180}, {"micro", 181}, {"para", 182}, {"middot", 183},
    {"cedil", 184}, {"sup1", 185}, {"ordm", 186}, {"raquo", 187}, {"frac14", 188}, {"frac12", 189},
    {"frac34", 190}, {"iquest", 191}, {"Agrave", 192}, {"Aacute", 193}, {"Acirc", 194},
    {"Atilde", 195}, {"Auml", 196}, {"Aring", 197}, {"AElig", 198}, {"Ccedil", 199},
    {"Egrave", 200}, {"Eacute", 201}, {"Ecirc", 202}, {"Euml", 203}, {"Igrave", 204},
    {"Iacute", 205}, {"Icirc", 206}, {"Iuml", 207}, {"ETH", 208}, {"Ntilde", 209}, {"Ograve", 210},
    {"Oacute", 211}, {"Ocirc", 212}, {"Otilde", 213}, {"Ouml", 214}, {"times", 215},
    {"Oslash", 216}, {"Ugrave", 217}, {"Uacute", 218}, {"Ucirc", 219}, {"Uuml", 220},
    {"Yacute", 221}, {"THORN", 222}, {"szlig", 223}, {"agrave", 224}, {"aacute", 225},
    {"acirc", 226}, {"atilde", 227}, {"auml", 228}, {"aring", 229}, {"aelig", 230}, {"ccedil", 231},
    {"egrave", 232}, {"eacute", 233}, {"ecirc", 234}, {"euml", 235}, {"igrave", 236},
    {"iacute", 237}, {"icirc", 238}, {"iuml", 239}, {"eth", 240}, {"ntilde", 241}, {"ograve", 242},
    {"oacute", 243}, {"ocirc", 244}, {"otilde", 245}, {"ouml", 246}, {"divide", 247},
    {"oslash", 248}, {"ugrave", 249}, {"uacute", 250}, {"ucirc", 251}, {"uuml", 252},
    {"yacute", 253}, {"thorn", 254}, {"yuml", 255},
    {"OElig", 338}, {"oelig", 339}, {"Scaron", 352}, {"scaron", 353}, {"Yuml", 376}, {"fnof", 402},
    {"circ", 710}, {"tilde", 732},
    {"Alpha", 913}, {"Beta", 914}, {"Gamma", 915}, {"Delta", 916}, {"Epsilon", 917}, {"Zeta", 918},
    {"Eta", 919}, {"Theta", 920}, {"Iota", 921}, {"Kappa", 922}, {"Lambda", 923}, {"Mu", 924},
    {"Nu", 925}, {"Xi", 926}, {"Omicron", 927}, {"Pi", 928}, {"Rho", 929}, {"Sigma", 931},
    {"Tau", 932}, {"Upsilon", 933}, {"Phi", 934}, {"Chi", 935}, {"Psi", 936}, {"Omega", 937},
    {"alpha", 945}, {"beta", 946}, {"gamma", 947}, {"delta", 948}, {"epsilon", 949}, {"zeta", 950},
    {"eta", 951}, {"theta", 952}, {"iota", 953}, {"kappa", 954}, {"lambda", 955}, {"mu", 956},
    {"nu", 957}, {"xi", 958}, {"omicron", 959}, {"pi", 960}, {"rho", 961}, {"sigmaf", 962},
    {"sigma", 963}, {"tau", 964}, {"upsilon", 965}, {"phi", 966}, {"chi", 967}, {"psi", 968},
    {"omega", 969}, {"thetasym", 977}, {"upsih", 978}, {"piv", 982},
    {"ensp", 8194}, {"emsp", 8195}, {"thinsp", 8201}, {"zwnj", 8204}, {"zwj", 8205}, {"lrm", 8206},
    {"rlm", 8207}, {"ndash", 8211}, {"mdash", 8212}, {"lsquo", 8216}, {"rsquo", 8217},
    {"sbquo", 8218}, {"ldquo", 8220}, {"rdquo", 8221}, {"bdquo", 8222}, {"dagger", 8224},
    {"Dagger", 8225}, {"bull", 8226}, {"hellip", 8230}, {"permil", 8240}, {"prime", 8242},
    {"Prime", 8243}, {"lsaquo", 8249}, {"rsaquo", 8250}, {"oline", 8254}, {"frasl", 8260},
    {"euro", 8364}, {"image", 8465}, {"weierp", 8472}, {"real", 8476}, {"trade", 8482},
    {"alefsym", 8501}, {"larr", 8592}, {"uarr", 8593}, {"rarr", 8594}, {"darr", 8595},
    {"harr", 8596}, {"crarr", 8629}, {"lArr", 8656}, {"uArr", 8657}, {"rArr", 8658},
    {"dArr", 8659}, {"hArr", 8660}, {"forall", 8704}, {"part", 8706}, {"exist", 8707},
    {"empty", 8709}, {"nabla", 8711}, {"isin", 8712}, {"notin", 8713}, {"ni", 8715},
    {"prod", 8719}, {"sum", 8721}, {"minus", 8722}, {"lowast", 8727}, {"radic", 8730},
    {"prop", 8733}, {"infin", 8734}, {"ang", 8736}, {"and", 8743}, {"or", 8744}, {"cap", 8745},
    {"cup", 8746}, {"int", 8747}, {"there4", 8756}, {"sim", 8764}, {"cong", 8773},
    {"asymp", 8776}, {"ne", 8800}, {"equiv", 8801}, {"le", 8804}, {"ge", 8805}, {"sub", 8834},
    {"sup", 8835}, {"nsub", 8836}, {"sube", 8838}, {"supe", 8839}, {"oplus", 8853},
    {"otimes", 8855}, {"perp", 8869}, {"sdot", 8901}, {"lceil", 8968}, {"rceil", 8969},
    {"lfloor", 8970}, {"rfloor", 8971}, {"lang", 9001}, {"rang", 9002}, {"loz", 9674},
    {"spades", 9824}, {"clubs", 9827}, {"hearts", 9829}, {"diams", 9830},
};
static_assert(sizeof(kEntities) / sizeof(kEntities[0]) == 253, "HTML 4 entities plus apos");

constexpr size_t kBuckets = 130;

char16_t Lower(char16_t c) { return (c >= 'A' && c <= 'Z') ? char16_t(c + 32) : c; }

bool HasCapital(const char* psz)
{
    for (; *psz; ++psz)
        if (*psz >= 'A' && *psz <= 'Z')
            return true;
    return false;
}

struct Table
{
    std::array<std::u16string, kBuckets> buckets;
    Table()
    {
        // Capital forms go in first so that each case pair lists them before the small form.
        for (int pass = 0; pass < 2; ++pass) {
            for (const Entity& e : kEntities) {
                if (HasCapital(e.pszName) != (pass == 0))
                    continue;
                std::u16string name;
                unsigned sum = 0;
                for (const char* p = e.pszName; *p; ++p) {
                    name += Lower(char16_t(*p));
                    sum += name.back();
                }
                char digits[8];
                std::snprintf(digits, sizeof digits, "%04u", e.nCode);
                std::u16string& b = buckets[sum % kBuckets];
                // A small form joins its capital form's entry, so the pair stays adjacent.
                size_t at = b.size();
                for (size_t i = 0; i < b.size();) {
                    size_t len = size_t(b[i] - '0');
                    if (len == name.size() && b.compare(i + 5, len, name) == 0)
                        at = i + 5 + len;
                    i += 5 + len;
                }
                std::u16string entry;
                entry += char16_t('0' + name.size());
                for (const char* d = digits; *d; ++d)
                    entry += char16_t(*d);
                entry += name;
                b.insert(at, entry);
            }
        }
    }
};

const Table& TheTable()
{
    static const Table t;
    return t;
}
} // namespace

namespace XmlText
{

char32_t EntityCodePoint(const char16_t* pszName, size_t nLen)
{
    if (nLen == 0 || nLen > 9)
        return 0;
    char16_t lower[9];
    unsigned sum = 0;
    bool bAllSmall = true;
    for (size_t i = 0; i < nLen; ++i) {
        lower[i] = Lower(pszName[i]);
        if (lower[i] != pszName[i])
            bAllSmall = false;
        sum += lower[i];
    }
    const std::u16string& b = TheTable().buckets[sum % kBuckets];
    for (size_t i = 0; i < b.size();) {
        size_t len = size_t(b[i] - '0');
        if (len == nLen && b.compare(i + 5, len, lower, nLen) == 0) {
            auto code = [&](size_t at) {
                char32_t v = 0;
                for (size_t d = 1; d <= 4; ++d)
                    v = v * 10 + (b[at + d] - '0');
                return v;
            };
            size_t next = i + 5 + len;
            bool bPair = next < b.size() && size_t(b[next] - '0') == len && b.compare(next + 5, len, lower, nLen) == 0;
            return (bPair && bAllSmall) ? code(next) : code(i);
        }
        i += 5 + len;
    }
    return 0;
}

size_t EntityCount()
{
    size_t n = 0;
    for (const std::u16string& b : TheTable().buckets)
        for (size_t i = 0; i < b.size(); i += 5 + size_t(b[i] - '0'))
            ++n;
    return n;
}

size_t EntityBucketCount() { return kBuckets; }

} // namespace XmlText
