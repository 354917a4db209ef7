#include "TextNumbers.h"

#include <QString>

#include <clocale>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <string>

namespace textnumbers {

namespace {

qsizetype SkipBlanks(QStringView t)
{
    qsizetype i = 0;
    while (i < t.size() && (t[i] == u' ' || (t[i] >= u'\t' && t[i] <= u'\r')))
        ++i;
    return i;
}

template <class T>
T Leading(QStringView text)
{
    qsizetype i = SkipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    // Accumulated toward the sign so that the most negative value is reachable.
    T v = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const int d = text[i].unicode() - u'0';
        if (negative) {
            if (v < (std::numeric_limits<T>::min() + d) / 10)
                return std::numeric_limits<T>::min();
            v = T(v * 10 - d);
        } else {
            if (v > (std::numeric_limits<T>::max() - d) / 10)
                return std::numeric_limits<T>::max();
            v = T(v * 10 + d);
        }
    }
    return v;
}

locale_t CLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return c;
}

} // namespace

int LeadingInt(QStringView text) { return Leading<int>(text); }

long LeadingLong(QStringView text) { return Leading<long>(text); }

double LeadingDouble(QStringView text)
{
    // Only the decimal form: glibc's strtod would also take "nan", "inf" and hex, which the
    // handheld read as 0 and which would carry NaN or infinity out of a damaged file. (A number
    // too large for a double still gives infinity, as it did there.)
    qsizetype i = SkipBlanks(text);
    std::string number;
    auto digits = [&] {
        qsizetype n = 0;
        for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i, ++n)
            number += char(text[i].unicode());
        return n;
    };
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        number += char(text[i++].unicode());
    qsizetype mantissa = digits();
    if (i < text.size() && text[i] == u'.') {
        number += '.';
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return 0;
    // An exponent counts only with its digits: "1e" and "1.5e+" are 1 and 1.5.
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        const std::string before = number;
        number += 'e';
        ++i;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            number += char(text[i++].unicode());
        if (digits() == 0)
            number = before;
    }
    return strtod_l(number.c_str(), nullptr, CLocale());
}

QString Fixed(double value, int decimals) { return QString::number(value, 'f', decimals); }

} // namespace textnumbers
