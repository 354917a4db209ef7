// Fields of arbitrary text: the text comes back normalised (trimmed, no TAB, no two blanks side by
// side), a second call gives the same field and leaves the text as it is.
#include "cors/NtripText.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const int index = int(int8_t(data[0])) % 12;
    const QChar separator = QLatin1Char(char(data[1]));
    QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));
    const QString field = cors::GetDelimitedField(text, index, separator);
    if (text != text.trimmed() || text.contains(QLatin1Char('\t')) || text.contains(QLatin1String("  ")))
        std::abort();
    if (field.size() > text.size() || (separator != QLatin1Char(' ') && field.contains(separator)))
        std::abort();
    QString again = text;
    if (cors::GetDelimitedField(again, index, separator) != field || again != text)
        std::abort();
    return 0;
}
