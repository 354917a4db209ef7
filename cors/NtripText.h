#pragma once
// The text side of the NTRIP (version 1) client: the two requests the page sends to a caster, the
// classification of a caster's answer to a login, and the mount-point names of a source table. No
// sockets or widgets here, so all of it runs and is tested on its own.

#include <QString>
#include <QStringList>

namespace cors {

enum class CasterReply { Refused, Accepted, Unrecognised };

// "GET / ..." with the agent text of the source-table request and a Host line.
QString BuildSourceTableRequest(const QString& address, unsigned port);
// "GET /<mount point> ..." with the login's agent text and Basic authorization of "user:password".
QString BuildMountPointRequest(const QString& mountPoint, const QString& user, const QString& password);

// "401 Unauthorized" anywhere: Refused; else "200 OK" anywhere: Accepted; else Unrecognised.
CasterReply ClassifyCasterReply(const QString& text);

// The names of the source table's STR records in table order. Consumes the text: the caller empties
// it afterwards.
QStringList ParseSourceTable(QString& text);

// The field with this index (0 first) between separators. Normalises the given text first, in place:
// white space trimmed from both ends, TABs made blanks, runs of blanks made one blank.
QString GetDelimitedField(QString& text, int index, QChar separator);

// A received block as text: up to its first zero byte, through the system's ANSI code page.
QString CasterText(const char* bytes, int n);

// A text that holds a control character (below 0x20) would end a request line early.
bool HasControlCharacter(const QString& text);

// A TCP port: 1 to 65535.
inline bool IsValidPort(unsigned port) { return port >= 1 && port <= 65535; }

} // namespace cors
