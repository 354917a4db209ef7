#include "Base64.h"

namespace {
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
} // namespace

QString CBase64::Encode(const QString& text, int length)
{
    const QString part = (length < 0 || length >= text.size()) ? text : text.left(length);
    const QByteArray bytes = part.toUtf8();
    return Encode(bytes.constData(), int(bytes.size()));
}

QString CBase64::Encode(const char* bytes, int n)
{
    QString out;
    if (!bytes || n <= 0)
        return out;
    out.reserve((n + 2) / 3 * 4);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    int i = 0;
    for (; i + 2 < n; i += 3) {
        const unsigned v = (unsigned(p[i]) << 16) | (unsigned(p[i + 1]) << 8) | p[i + 2];
        out += QLatin1Char(kAlphabet[(v >> 18) & 63]);
        out += QLatin1Char(kAlphabet[(v >> 12) & 63]);
        out += QLatin1Char(kAlphabet[(v >> 6) & 63]);
        out += QLatin1Char(kAlphabet[v & 63]);
    }
    if (i < n) {
        unsigned v = unsigned(p[i]) << 16;
        if (i + 1 < n)
            v |= unsigned(p[i + 1]) << 8;
        out += QLatin1Char(kAlphabet[(v >> 18) & 63]);
        out += QLatin1Char(kAlphabet[(v >> 12) & 63]);
        out += i + 1 < n ? QLatin1Char(kAlphabet[(v >> 6) & 63]) : QLatin1Char('=');
        out += QLatin1Char('=');
    }
    return out;
}
