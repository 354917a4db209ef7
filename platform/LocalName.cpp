#include "LocalName.h"

#include "DataFolder.h"

#include <QCryptographicHash>

namespace platform {

namespace {
// Object names are case-insensitive on the handheld; hashing also keeps any character out of paths.
QByteArray key(const QString& kind, const QString& name)
{
    const QByteArray text = (DataFolder() + QLatin1Char('|') + kind + QLatin1Char('|') + name.toUpper()).toUtf8();
    return QCryptographicHash::hash(text, QCryptographicHash::Sha1).toHex().left(20);
}
} // namespace

QString LocalServerName(const QString& kind, const QString& name)
{
    return QStringLiteral("stavo-%1-").arg(kind) + QString::fromLatin1(key(kind, name));
}

QByteArray SemaphoreName(const QString& name) { return "/stavo-evt-" + key(QStringLiteral("evt"), name); }

} // namespace platform
