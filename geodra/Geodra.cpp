#include "Geodra.h"

#include "platform/DataFolder.h"

#include <QDateTime>

#include <algorithm>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTimeZone>

namespace geodra {

namespace {

const char* const kZoneFile = "timezone";
const char* const kDeviceFile = "device";

int deviceValue(const QString& key)
{
    QFile f(platform::DataFile(QString::fromLatin1(kDeviceFile)));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine(256)).trimmed();
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && line.left(eq).trimmed() == key)
            return line.mid(eq + 1).trimmed().toInt();
    }
    return 0;
}

int currentZoneHours()
{
    QFile f(platform::DataFile(QString::fromLatin1(kZoneFile)));
    if (f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        int hours = 0;
        if (ParseZone(QString::fromUtf8(f.read(64)).trimmed(), &hours))
            return hours;
    }
    return SystemZoneHours();
}

} // namespace

bool ParseZone(const QString& text, int* hours)
{
    static const QRegularExpression re(QStringLiteral("^([+-]?\\d{1,2}):00$"));
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    const int h = m.captured(1).toInt();
    if (h < -11 || h > 12)
        return false;
    *hours = h;
    return true;
}

int SystemZoneHours()
{
    const int seconds = QDateTime::currentDateTime().offsetFromUtc();
    // Whole hours, toward zero (a +5:30 zone is 5), limited to the list's range.
    return std::clamp(seconds / 3600, -11, 12);
}

} // namespace geodra

int nGetPDAType() { return geodra::deviceValue(QStringLiteral("pda")); }

int nGetLang() { return geodra::deviceValue(QStringLiteral("lang")); }

QString strGetTimeZoneIndex() { return QString::asprintf("%d:00", geodra::currentZoneHours()); }

void vSetTimeZoneIndex(const QString& text)
{
    int hours = 0;
    if (!geodra::ParseZone(text, &hours))
        return;
    QSaveFile f(platform::DataFile(QString::fromLatin1(geodra::kZoneFile)));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
        return;
    f.write(QString::asprintf("%d:00\n", hours).toUtf8());
    f.commit();
}

long lngGetTimeZoneSec() { return long(geodra::currentZoneHours()) * 3600L; }
