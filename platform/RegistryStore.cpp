#include "RegistryStore.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace platform::registry {

namespace {
const char* const kRoots[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"};
const char* const kFormat = "stavo-registry";
constexpr int kFormatVersion = 1;

bool isHex(const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F')))
            return false;
    }
    return true;
}

QString parentOf(const QString& path)
{
    const int at = path.lastIndexOf(QLatin1Char('\\'));
    return at < 0 ? QString() : path.left(at);
}
} // namespace

QString Fold(const QString& name) { return name.toCaseFolded(); }

bool IsRootName(const QString& name)
{
    for (const char* r : kRoots)
        if (name.compare(QLatin1String(r), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool SplitKeyPath(const QString& path, QStringList* names)
{
    const QStringList parts = path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (parts.size() > kMaxKeyDepth)
        return false;
    for (const QString& p : parts)
        if (p.size() > kMaxKeyNameLength)
            return false;
    *names = parts;
    return true;
}

Key* Store::find(const QString& path)
{
    const auto it = keys.find(Fold(path));
    return it == keys.end() ? nullptr : &it->second;
}

const Key* Store::find(const QString& path) const
{
    const auto it = keys.find(Fold(path));
    return it == keys.end() ? nullptr : &it->second;
}

Key& Store::make(const QString& path, const QString& volatileBoot)
{
    if (Key* k = find(path))
        return *k;
    // Ancestors first; a root (no "\" left) needs no entry of its own.
    const QString parent = parentOf(path);
    if (parent.contains(QLatin1Char('\\')))
        make(parent, volatileBoot);
    Key& k = keys[Fold(path)];
    k.path = path;
    k.volatileBoot = volatileBoot;
    return k;
}

bool Store::remove(const QString& path)
{
    const QString folded = Fold(path);
    const QString below = folded + QLatin1Char('\\');
    bool any = false;
    for (auto it = keys.begin(); it != keys.end();) {
        if (it->first == folded || it->first.startsWith(below)) {
            it = keys.erase(it);
            any = true;
        } else {
            ++it;
        }
    }
    return any;
}

bool ParseStore(const QByteArray& text, const QString& currentBoot, Store* out)
{
    *out = Store();
    if (text.size() > kMaxFileSize)
        return false;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    const QJsonObject top = doc.object();
    if (top.value(QLatin1String(kFormat)).toInt() != kFormatVersion)
        return false;
    Store store;
    QStringList stale; // volatile keys of another boot: gone with everything below them
    for (const QJsonValue& kv : top.value(QLatin1String("keys")).toArray()) {
        const QJsonObject ko = kv.toObject();
        const QString path = ko.value(QLatin1String("key")).toString();
        QStringList names;
        if (!SplitKeyPath(path, &names) || names.size() < 2 || !IsRootName(names.front()))
            continue;
        const QString normal = names.join(QLatin1Char('\\'));
        const QString boot = ko.value(QLatin1String("volatile")).toString();
        if (!boot.isEmpty() && boot != currentBoot) {
            stale << normal;
            continue;
        }
        Key& key = store.make(normal);
        key.path = normal;
        key.volatileBoot = boot;
        for (const QJsonValue& vv : ko.value(QLatin1String("values")).toArray()) {
            const QJsonObject vo = vv.toObject();
            const QString name = vo.value(QLatin1String("name")).toString();
            const double type = vo.value(QLatin1String("type")).toDouble(-1);
            const QString hex = vo.value(QLatin1String("data")).toString();
            if (name.size() > kMaxValueNameLength || type < 0 || type > 11 || type != double(DWORD(type))
                || hex.size() % 2 != 0 || hex.size() / 2 > kMaxValueSize || !isHex(hex))
                continue;
            key.values[Fold(name)] = Value{name, DWORD(type), QByteArray::fromHex(hex.toLatin1())};
        }
    }
    for (const QString& s : stale)
        store.remove(s);
    *out = std::move(store);
    return true;
}

QByteArray SerializeStore(const Store& store)
{
    QJsonArray keys;
    for (const auto& [folded, key] : store.keys) {
        QJsonObject ko;
        ko.insert(QLatin1String("key"), key.path);
        if (!key.volatileBoot.isEmpty())
            ko.insert(QLatin1String("volatile"), key.volatileBoot);
        QJsonArray values;
        for (const auto& [vf, v] : key.values) {
            QJsonObject vo;
            vo.insert(QLatin1String("name"), v.name);
            vo.insert(QLatin1String("type"), double(v.type));
            vo.insert(QLatin1String("data"), QString::fromLatin1(v.data.toHex()));
            values.append(vo);
        }
        ko.insert(QLatin1String("values"), values);
        keys.append(ko);
    }
    QJsonObject top;
    top.insert(QLatin1String(kFormat), kFormatVersion);
    top.insert(QLatin1String("keys"), keys);
    return QJsonDocument(top).toJson(QJsonDocument::Indented);
}

QString CurrentBootId()
{
    QFile f(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLatin1(f.readLine(64).trimmed());
}

} // namespace platform::registry
