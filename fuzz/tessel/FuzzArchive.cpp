// Settings files read back through the archive: any bytes, read as any sequence of values, must
// give values or a failed archive, never a crash or a huge allocation.

#include "tessel/Archive.h"

#include <QFile>
#include <QTemporaryFile>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    // The first byte chooses the order of reads; the rest is the file.
    const std::uint8_t plan = data[0];
    static QTemporaryFile file;
    if (!file.isOpen() && !file.open())
        return 0;
    file.resize(0);
    file.seek(0);
    file.write(reinterpret_cast<const char*>(data + 1), qint64(size - 1));
    file.flush();
    file.seek(0);
    CArchive ar(&file, CArchive::load, 4096);
    for (int i = 0; i < 64 && !ar.IsFailed(); ++i) {
        switch ((plan >> (i % 4) * 2) & 3) {
        case 0: {
            int v = 0;
            ar >> v;
            break;
        }
        case 1: {
            double v = 0;
            ar >> v;
            break;
        }
        case 2: {
            QString s;
            ar >> s;
            if (s.size() > int(size))
                __builtin_trap(); // a string longer than the file could never have been stored
            break;
        }
        default: {
            qint64 v = 0;
            ar >> v;
            break;
        }
        }
    }
    ar.Close();
    return 0;
}
