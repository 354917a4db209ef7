#include "NtripText.h"

#include "wirra/Base64.h"

#include "XmlEncoding.h"

#include <cstring>

namespace cors {

namespace {

const QString kStr = QStringLiteral("STR;");
constexpr qsizetype kShortestRecord = 10;

// The normalisation GetDelimitedField applies to its text; idempotent.
void Normalise(QString& text)
{
    text = text.trimmed();
    QString out;
    out.reserve(text.size());
    for (QChar c : std::as_const(text)) {
        if (c == QLatin1Char('\t'))
            c = QLatin1Char(' ');
        // Of two blanks side by side one goes, until none are left: one pass keeping the first.
        if (c == QLatin1Char(' ') && !out.isEmpty() && out.back() == QLatin1Char(' '))
            continue;
        out += c;
    }
    text = std::move(out);
}

// The field of an already normalised text, counting from position from.
QString FieldFrom(const QString& text, qsizetype from, int index, QChar separator)
{
    if (index < 0)
        return QString();
    qsizetype i = from;
    for (int passed = 0; passed < index; ++passed) {
        const qsizetype s = text.indexOf(separator, i);
        if (s < 0)
            return QString();
        i = s + 1;
    }
    const qsizetype end = text.indexOf(separator, i);
    return text.mid(i, end < 0 ? -1 : end - i);
}

} // namespace

QString BuildSourceTableRequest(const QString& address, unsigned port)
{
    return QStringLiteral("GET / HTTP/1.0\r\nUser-Agent: NTRIP GNSSInternetRadio/1.4.10\r\nAccept: */*\r\nHost: ") +
           address + QLatin1Char(':') + QString::number(port) + QStringLiteral("\r\nConnection: Keep-Alive\r\n\r\n");
}

QString BuildMountPointRequest(const QString& mountPoint, const QString& user, const QString& password)
{
    const QString credential = user + QLatin1Char(':') + password;
    return QStringLiteral("GET /") + mountPoint + QStringLiteral(" HTTP/1.0\r\n") +
           QStringLiteral("User-Agent: NTRIP GNSSInternetRadio /1.4.5\r\n") + QStringLiteral("Accept: */*\r\n") +
           QStringLiteral("Authorization: Basic ") + CBase64::Encode(credential, int(credential.size())) +
           QStringLiteral("\r\n\r\n");
}

CasterReply ClassifyCasterReply(const QString& text)
{
    if (text.contains(QLatin1String("401 Unauthorized")))
        return CasterReply::Refused;
    if (text.contains(QLatin1String("200 OK")))
        return CasterReply::Accepted;
    return CasterReply::Unrecognised;
}

QString GetDelimitedField(QString& text, int index, QChar separator)
{
    Normalise(text);
    return FieldFrom(text, 0, index, separator);
}

QStringList ParseSourceTable(QString& text)
{
    // Record by record, the table is cut down to the rest from the record on and the name field is
    // taken with GetDelimitedField, which normalises that whole rest each time. Normalising is
    // idempotent and never makes or breaks an "STR;", so the rest is normalised once here and the
    // records are then walked by position: the same names in linear time, for tables of megabytes.
    QStringList names;
    if (text.isEmpty())
        return names;
    const qsizetype first = text.indexOf(kStr);
    if (first < 0)
        return names;
    text.remove(0, first);
    if (text.size() < kShortestRecord)
        return names;
    Normalise(text);
    qsizetype pos = 0;
    for (;;) {
        names << FieldFrom(text, pos, 1, QLatin1Char(';'));
        const qsizetype next = text.indexOf(kStr, pos + 1);
        if (next < 0) {
            text.remove(0, pos + 1);
            return names;
        }
        pos = next;
        if (text.size() - pos < kShortestRecord) {
            text.remove(0, pos);
            return names;
        }
    }
}

QString CasterText(const char* bytes, int n)
{
    if (!bytes || n <= 0)
        return QString();
    const void* zero = std::memchr(bytes, 0, std::size_t(n));
    const std::size_t length = zero ? std::size_t(static_cast<const char*>(zero) - bytes) : std::size_t(n);
    std::u16string out;
    if (!XmlEncoding::Decode(XmlEncoding::AnsiCodePage(), std::string_view(bytes, length), out))
        return QString::fromLatin1(bytes, qsizetype(length));
    return QString::fromStdU16String(out);
}

bool HasControlCharacter(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() < 0x20)
            return true;
    return false;
}

} // namespace cors
