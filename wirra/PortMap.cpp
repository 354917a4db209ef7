#include "PortMap.h"

#include "platform/DataFolder.h"

#include <QFile>
#include <QStringList>

namespace wirra {

QString PortDeviceFromMap(const QString& mapText, unsigned port)
{
    const QStringList lines = mapText.split(QLatin1Char('\n'));
    for (QString line : lines) {
        const qsizetype hash = line.indexOf(QLatin1Char('#'));
        if (hash >= 0)
            line.truncate(hash);
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        bool ok = false;
        const unsigned n = line.left(eq).trimmed().toUInt(&ok);
        const QString path = line.mid(eq + 1).trimmed();
        if (ok && n == port && !path.isEmpty())
            return path;
    }
    return port == 4 ? QStringLiteral("/dev/ttyUSB0") : QString();
}

QString PortDevice(unsigned port)
{
    QFile file(platform::DataFile(QStringLiteral("ports.conf")));
    QString text;
    // A port map is a few lines; a huge file is not one, and is not read whole.
    if (file.open(QIODevice::ReadOnly | QIODevice::Text))
        text = QString::fromUtf8(file.read(64 * 1024));
    return PortDeviceFromMap(text, port);
}

} // namespace wirra
