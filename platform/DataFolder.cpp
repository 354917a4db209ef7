#include "DataFolder.h"

#include <QDir>

namespace platform {

QString DataFolder()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    const QString folder = base + QStringLiteral("/stavo");
    QDir().mkpath(folder);
    return folder;
}

QString DataFile(const QString& name) { return DataFolder() + QLatin1Char('/') + name; }

} // namespace platform
