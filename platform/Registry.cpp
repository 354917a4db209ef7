#include "Registry.h"

#include "DataFolder.h"
#include "RegistryStore.h"

#include <QFile>
#include <QLockFile>
#include <QSaveFile>
#include <QStringList>

#include <cstring>
#include <functional>
#include <mutex>
#include <set>

struct platform::HKEY__ {
    QString path; // full path, root name first
};

namespace platform {

using registry::Key;
using registry::Store;

namespace {

HKEY__ g_roots[] = {{QStringLiteral("HKEY_CLASSES_ROOT")},
                    {QStringLiteral("HKEY_CURRENT_USER")},
                    {QStringLiteral("HKEY_LOCAL_MACHINE")},
                    {QStringLiteral("HKEY_USERS")}};

// The GPS power driver keeps POWERSTATUS while it is loaded; without it the receiver is external and
// powers itself, so start-up must not ask to switch it on.
struct BuiltIn {
    const char* key;
    const char* name;
    DWORD value;
};
const BuiltIn kBuiltIns[] = {{"HKEY_LOCAL_MACHINE\\Drivers\\BuiltIn\\GPDGPS", "POWERSTATUS", 1}};

constexpr int kLockWaitMs = 5000;

struct OpenKeys {
    std::mutex mutex;
    std::set<HKEY> live;
};

OpenKeys& openKeys()
{
    static OpenKeys k;
    return k;
}

bool isRoot(HKEY key)
{
    for (HKEY__& r : g_roots)
        if (key == &r)
            return true;
    return false;
}

// The full path of subKey below root; an error code when root is no key or the path breaks a limit.
LONG resolve(HKEY root, const QString& subKey, QString* path)
{
    QString base;
    if (isRoot(root)) {
        base = root->path;
    } else {
        auto& k = openKeys();
        std::lock_guard<std::mutex> lock(k.mutex);
        if (!root || !k.live.count(root))
            return LONG(ERROR_INVALID_HANDLE);
        base = root->path;
    }
    QStringList names;
    if (!registry::SplitKeyPath(base + QLatin1Char('\\') + subKey, &names))
        return LONG(ERROR_INVALID_PARAMETER);
    *path = names.join(QLatin1Char('\\'));
    return LONG(ERROR_SUCCESS);
}

LONG newHandle(const QString& path, HKEY* result)
{
    auto* key = new HKEY__{path};
    auto& k = openKeys();
    std::lock_guard<std::mutex> lock(k.mutex);
    k.live.insert(key);
    *result = key;
    return LONG(ERROR_SUCCESS);
}

QByteArray readFile(bool* present)
{
    QFile f(RegistryFilePath());
    *present = f.exists();
    if (!f.open(QIODevice::ReadOnly) || f.size() > registry::kMaxFileSize)
        return QByteArray();
    return f.read(registry::kMaxFileSize);
}

// The file as it is now; an unreadable or damaged file reads as an empty registry.
Store fileStore(bool* damaged = nullptr)
{
    bool present = false;
    const QByteArray text = readFile(&present);
    Store s;
    const bool ok = registry::ParseStore(text, registry::CurrentBootId(), &s);
    if (damaged)
        *damaged = present && !ok;
    return s;
}

void addBuiltIns(Store& s)
{
    for (const BuiltIn& b : kBuiltIns) {
        Key& key = s.make(QString::fromLatin1(b.key));
        const QString name = QString::fromLatin1(b.name);
        if (key.values.count(registry::Fold(name)))
            continue;
        QByteArray data(4, '\0');
        std::memcpy(data.data(), &b.value, 4); // little-endian, as the handheld stores a DWORD
        key.values[registry::Fold(name)] = registry::Value{name, REG_DWORD, data};
    }
}

Store currentStore()
{
    Store s = fileStore();
    addBuiltIns(s);
    return s;
}

bool exists(const Store& s, const QString& path) { return !path.contains(QLatin1Char('\\')) || s.find(path); }

bool existsAnywhere(const Store& file, const QString& path)
{
    if (exists(file, path))
        return true;
    Store builtIns;
    addBuiltIns(builtIns);
    return exists(builtIns, path);
}

// Whether the nearest existing key above path is volatile.
bool volatileAncestor(const Store& s, const QString& path)
{
    for (int at = path.lastIndexOf(QLatin1Char('\\')); at > 0; at = path.lastIndexOf(QLatin1Char('\\'), at - 1))
        if (const Key* k = s.find(path.left(at)))
            return !k->volatileBoot.isEmpty();
    return false;
}

// One change of the file: serialised against every other writer, read afresh, written atomically.
LONG modify(const std::function<LONG(Store&)>& change)
{
    static std::mutex threads;
    std::lock_guard<std::mutex> threadLock(threads);
    const QString file = RegistryFilePath();
    QLockFile processes(file + QStringLiteral(".lock"));
    processes.setStaleLockTime(0); // a lock left by a dead writer is taken over at once
    if (!processes.tryLock(kLockWaitMs))
        return LONG(ERROR_CANTWRITE);
    bool damaged = false;
    Store s = fileStore(&damaged);
    const LONG result = change(s);
    if (result != LONG(ERROR_SUCCESS))
        return result;
    const QByteArray text = registry::SerializeStore(s);
    if (text.size() > registry::kMaxFileSize)
        return LONG(ERROR_CANTWRITE);
    if (damaged) {
        // Keep what could not be read for a person to look at, rather than writing over it.
        const QString kept = file + QStringLiteral(".damaged");
        QFile::remove(kept);
        QFile::rename(file, kept);
    }
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size() || !out.commit())
        return LONG(ERROR_CANTWRITE);
    return LONG(ERROR_SUCCESS);
}

} // namespace

HKEY const HKEY_CLASSES_ROOT = &g_roots[0];
HKEY const HKEY_CURRENT_USER = &g_roots[1];
HKEY const HKEY_LOCAL_MACHINE = &g_roots[2];
HKEY const HKEY_USERS = &g_roots[3];

QString RegistryFilePath() { return DataFile(QStringLiteral("registry.json")); }

LONG RegOpenKeyEx(HKEY root, const QString& subKey, DWORD, REGSAM, HKEY* result)
{
    if (!result)
        return LONG(ERROR_INVALID_PARAMETER);
    *result = nullptr;
    QString path;
    if (const LONG r = resolve(root, subKey, &path); r != LONG(ERROR_SUCCESS))
        return r;
    if (!exists(currentStore(), path))
        return LONG(ERROR_FILE_NOT_FOUND);
    return newHandle(path, result);
}

LONG RegCreateKeyEx(HKEY root, const QString& subKey, DWORD, const QString&, DWORD options, REGSAM, void*,
                    HKEY* result, DWORD* disposition)
{
    if (!result)
        return LONG(ERROR_INVALID_PARAMETER);
    *result = nullptr;
    QString path;
    if (const LONG r = resolve(root, subKey, &path); r != LONG(ERROR_SUCCESS))
        return r;
    bool created = false;
    const bool lasting = !(options & REG_OPTION_VOLATILE);
    const LONG r = modify([&](Store& s) {
        if (existsAnywhere(s, path))
            return LONG(ERROR_SUCCESS);
        // A lasting key below a volatile one would go with it at the restart, taking values whose
        // writes all succeeded: refused with the registry calls' own code for it.
        const bool underVolatile = volatileAncestor(s, path);
        if (lasting && underVolatile)
            return LONG(ERROR_CHILD_MUST_BE_VOLATILE);
        // Keys made on the way to a volatile one are the hierarchy a registry has from the start
        // ("Software" and the like): lasting, so that lasting keys can go beside it.
        const QString parent = path.left(path.lastIndexOf(QLatin1Char('\\')));
        if (!lasting && !underVolatile && parent.contains(QLatin1Char('\\')))
            s.make(parent);
        s.make(path, lasting ? QString() : registry::CurrentBootId());
        created = true;
        return LONG(ERROR_SUCCESS);
    });
    if (r != LONG(ERROR_SUCCESS))
        return r;
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return newHandle(path, result);
}

LONG RegCloseKey(HKEY key)
{
    if (isRoot(key))
        return LONG(ERROR_SUCCESS);
    auto& k = openKeys();
    std::lock_guard<std::mutex> lock(k.mutex);
    if (!key || !k.live.erase(key))
        return LONG(ERROR_INVALID_HANDLE);
    delete key;
    return LONG(ERROR_SUCCESS);
}

LONG RegQueryValueEx(HKEY key, const QString& name, DWORD*, DWORD* type, BYTE* data, DWORD* cbData)
{
    QString path;
    if (const LONG r = resolve(key, QString(), &path); r != LONG(ERROR_SUCCESS))
        return r;
    if (data && !cbData)
        return LONG(ERROR_INVALID_PARAMETER);
    const Store s = currentStore();
    if (!exists(s, path))
        return LONG(ERROR_KEY_DELETED);
    const Key* k = s.find(path);
    if (!k)
        return LONG(ERROR_FILE_NOT_FOUND); // a root: it holds no values
    const auto it = k->values.find(registry::Fold(name));
    if (it == k->values.end())
        return LONG(ERROR_FILE_NOT_FOUND);
    const registry::Value& v = it->second;
    if (type)
        *type = v.type;
    if (!cbData)
        return LONG(ERROR_SUCCESS);
    const DWORD size = DWORD(v.data.size());
    if (data && *cbData < size) {
        *cbData = size;
        return LONG(ERROR_MORE_DATA);
    }
    if (data && size)
        std::memcpy(data, v.data.constData(), size);
    *cbData = size;
    return LONG(ERROR_SUCCESS);
}

LONG RegSetValueEx(HKEY key, const QString& name, DWORD, DWORD type, const BYTE* data, DWORD cbData)
{
    QString path;
    if (const LONG r = resolve(key, QString(), &path); r != LONG(ERROR_SUCCESS))
        return r;
    if (!path.contains(QLatin1Char('\\')) || type > 11 || cbData > DWORD(registry::kMaxValueSize)
        || (cbData && !data) || name.size() > registry::kMaxValueNameLength)
        return LONG(ERROR_INVALID_PARAMETER);
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(cbData));
    return modify([&](Store& s) {
        if (!existsAnywhere(s, path))
            return LONG(ERROR_KEY_DELETED);
        s.make(path).values[registry::Fold(name)] = registry::Value{name, type, bytes};
        return LONG(ERROR_SUCCESS);
    });
}

LONG RegDeleteValue(HKEY key, const QString& name)
{
    QString path;
    if (const LONG r = resolve(key, QString(), &path); r != LONG(ERROR_SUCCESS))
        return r;
    return modify([&](Store& s) {
        Key* k = s.find(path);
        if (!k || !k->values.erase(registry::Fold(name)))
            return LONG(ERROR_FILE_NOT_FOUND);
        return LONG(ERROR_SUCCESS);
    });
}

LONG RegDeleteKey(HKEY root, const QString& subKey)
{
    QString path;
    if (const LONG r = resolve(root, subKey, &path); r != LONG(ERROR_SUCCESS))
        return r;
    QStringList names;
    registry::SplitKeyPath(subKey, &names);
    if (names.isEmpty()) // never a root, nor the open key itself
        return LONG(ERROR_INVALID_PARAMETER);
    return modify([&](Store& s) {
        const bool had = existsAnywhere(s, path);
        s.remove(path);
        return had ? LONG(ERROR_SUCCESS) : LONG(ERROR_FILE_NOT_FOUND);
    });
}

} // namespace platform
