#pragma once
// The registry's file: keys by full path (root name first, "\" between names), each with its
// values (name, type, bytes). Names compare without regard to case and keep the case they were
// made with. Parsing is the only door for the file's text: whatever the text, it gives a store whose
// every key and value obeys the limits below, or reports that the text is not a registry file.

#include "WinTypes.h"

#include <QByteArray>
#include <QString>

#include <map>

namespace platform::registry {

constexpr int kMaxKeyNameLength = 255;     // one name of a key path
constexpr int kMaxKeyDepth = 64;
constexpr int kMaxValueNameLength = 16383;
constexpr int kMaxValueSize = 1 << 20;
constexpr qint64 kMaxFileSize = 16 << 20;

struct Value {
    QString name;
    DWORD type = 0;
    QByteArray data;
};

struct Key {
    QString path;
    QString volatileBoot; // for a volatile key, the boot it was made in; empty for a lasting one
    std::map<QString, Value> values; // by case-folded name
};

struct Store {
    std::map<QString, Key> keys; // by case-folded path; every ancestor below a root is present

    // The key at a path, or null.
    Key* find(const QString& path);
    const Key* find(const QString& path) const;
    // The key at a path, made with its missing ancestors (marked volatile when volatileBoot is set).
    Key& make(const QString& path, const QString& volatileBoot = QString());
    // Removes the key and everything below it; false when there was none.
    bool remove(const QString& path);
};

QString Fold(const QString& name);

// The four roots by name; a path must begin with one of them.
bool IsRootName(const QString& name);

// Splits a path of key names ("A\B\C", empty names skipped) and checks the limits; false when a
// name is too long or the path too deep.
bool SplitKeyPath(const QString& path, QStringList* names);

// Text of the file to a store. Volatile keys of another boot are left out (they did not survive the
// restart). Entries that break a limit are skipped; false when the text is no registry file at all.
bool ParseStore(const QByteArray& text, const QString& currentBoot, Store* out);
QByteArray SerializeStore(const Store& store);

// An identifier of the running boot of the machine (empty where the system gives none).
QString CurrentBootId();

} // namespace platform::registry
