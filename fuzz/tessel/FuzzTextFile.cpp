// Text files read through CStdioFileCe and CStdioFileEx in several code pages: any bytes must give
// lines of at most 4095 bytes that cover the file, numbers or zeros, never a crash or a hang, and
// the conversions of what was read must round-trip through UTF-8.

#include "tessel/MyChar.h"
#include "tessel/StdioFileCe.h"
#include "tessel/StdioFileEx.h"

#include <platform/CodePage.h>

#include <QTemporaryFile>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1 || size > 64 * 1024)
        return 0;
    // The first byte chooses the code page; the rest is the file.
    static const int kPages[] = {936, 65001, 1252, 54936, 950, 932, 0};
    platform::SetAnsiCodePage(kPages[data[0] % (sizeof kPages / sizeof kPages[0])]);
    static QTemporaryFile file;
    if (!file.isOpen() && !file.open())
        return 0;
    file.resize(0);
    file.seek(0);
    file.write(reinterpret_cast<const char*>(data + 1), qint64(size - 1));
    file.flush();

    CStdioFileCe ce;
    if (!ce.Open(file.fileName(), QStringLiteral("rt"), 0))
        return 0;
    QString line;
    std::size_t pieces = 0;
    while (ce.ReadString(line)) {
        if (++pieces > size)
            __builtin_trap(); // every piece consumes at least one byte
        if (CMyChar(line).GetLength() > 4 * CStdioFileCe::kLinePiece)
            __builtin_trap();
    }
    if (!ce.nfeof())
        __builtin_trap(); // the reading loop must be able to end
    ce.SeekToBegin();
    int ok = 0;
    (void)ce.ReadDouble(&ok);
    (void)ce.ReadInt();
    (void)ce.ReadLong();
    ce.Close();

    CStdioFileEx ex;
    if (ex.Open(file.fileName(), platform::CStdioFile::modeRead | platform::CStdioFile::typeText)) {
        std::size_t lines = 0;
        while (ex.ReadString(line) && ++lines <= size && !ex.IsFileUnicodeText()) {
            // Through UTF-8 and back is lossless for anything the file gave.
            platform::SetAnsiCodePage(platform::CP_UTF8);
            const CMyChar utf8(line);
            const CMyWchar back(static_cast<const char*>(utf8));
            if (back.toQString() != line.left(line.indexOf(QChar(0)) < 0 ? line.size() : line.indexOf(QChar(0))))
                __builtin_trap();
            platform::SetAnsiCodePage(kPages[data[0] % (sizeof kPages / sizeof kPages[0])]);
        }
    }
    platform::SetAnsiCodePage(0);
    return 0;
}
