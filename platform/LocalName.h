#pragma once
// Names of the machine-wide objects (local sockets, semaphores) that stand for the handheld's named
// system objects. They are scoped to the data folder, so that programs and tests using different
// data folders never meet, while a program and the simulator sharing one do.

#include <QString>

namespace platform {

// A local-socket server name for an object of a kind ("dev", "wnd", ...) and name.
QString LocalServerName(const QString& kind, const QString& name);

// A POSIX semaphore name ("/stavo-...") for a named event.
QByteArray SemaphoreName(const QString& name);

} // namespace platform
