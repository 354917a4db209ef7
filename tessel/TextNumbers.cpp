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
    const qsizetype start = SkipBlanks(text);
    std::string ascii;
    for (qsizetype i = start; i < text.size() && text[i].unicode() > 0x20 && text[i].unicode() < 0x7F; ++i)
        ascii += char(text[i].unicode());
    if (ascii.empty())
        return 0;
    return strtod_l(ascii.c_str(), nullptr, CLocale());
}

QString Fixed(double value, int decimals) { return QString::number(value, 'f', decimals); }

} // namespace textnumbers
