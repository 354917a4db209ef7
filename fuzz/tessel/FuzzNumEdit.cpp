// What a user types or pastes into a numeric edit box: any text, read by every kind's parser and
// written back in every kind's format, must give a number or "?", never a crash or undefined
// conversion; the typing filter must take any character at any caret position.

#include "tessel/NumEdit.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));
    for (int kind = 0; kind <= 19; ++kind) {
        const double v = CNumEdit::dGetValueAll(kind, text);
        const QString shown = CNumEdit::strFormat(kind, v);
        if (shown.isEmpty())
            std::abort(); // every value has a text, "?" at least
        CNumEdit::dGetValueAll(kind, shown);
    }
    const int caret = text.isEmpty() ? 0 : int(data[0] % (text.size() + 1));
    const int selEnd = text.isEmpty() ? 0 : caret + int(data[1] % (text.size() - caret + 1));
    for (const QChar c : text)
        for (int kind : {0, 1, 10, 11})
            CNumEdit::bCharPasses(kind, c.unicode(), text, caret, caret, selEnd);
    return 0;
}
