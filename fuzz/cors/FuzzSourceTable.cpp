// Source tables from a caster: the linear parser must give the names that the record-by-record
// procedure gives (cut the rest of the table at each record, normalise it all, take field 1).
#include "cors/NtripText.h"

#include <cstdint>
#include <cstdlib>

namespace {
QStringList RecordByRecord(QString text)
{
    QStringList names;
    if (text.isEmpty())
        return names;
    qsizetype p = text.indexOf(QLatin1String("STR;"));
    if (p < 0)
        return names;
    for (;;) {
        text = text.mid(p);
        if (text.size() < 10)
            return names;
        names << cors::GetDelimitedField(text, 1, QLatin1Char(';'));
        p = text.indexOf(QLatin1String("STR;"), 1);
        if (p < 0)
            return names;
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QString text = cors::CasterText(reinterpret_cast<const char*>(data), int(size));
    const QString original = text;
    const QStringList names = cors::ParseSourceTable(text);
    if (names.size() > original.count(QLatin1String("STR;")))
        std::abort();
    for (const QString& n : names)
        if (n.contains(QLatin1Char(';')) || n.contains(QLatin1Char('\t')) || n.contains(QLatin1String("  ")))
            std::abort();
    if (size <= 4096 && names != RecordByRecord(original))
        std::abort();
    return 0;
}
