// The time-zone and device files in the data folder may be damaged or hand-edited: whatever they
// hold, the zone stays one of the list's whole-hour zones and nothing crashes.

#include "geodra/Geodra.h"

#include "platform/DataFolder.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir home;
    static const bool once = [] {
        qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
        return true;
    }();
    (void)once;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype half = bytes.size() / 2;
    for (const auto& [name, part] : {std::pair{"timezone", bytes.left(half)}, std::pair{"device", bytes.mid(half)}}) {
        QFile f(platform::DataFile(QString::fromLatin1(name)));
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(part);
    }
    int hours = 0;
    if (!geodra::ParseZone(strGetTimeZoneIndex(), &hours) || lngGetTimeZoneSec() != long(hours) * 3600)
        __builtin_trap();
    (void)nGetPDAType();
    (void)nGetLang();
    vSetTimeZoneIndex(QString::fromUtf8(bytes.left(16)));
    if (!geodra::ParseZone(strGetTimeZoneIndex(), &hours))
        __builtin_trap();
    return 0;
}
