#pragma once
// Serial port numbers (the program's "port 4") to device paths, from the file ports.conf in the
// program's data folder: lines "n=/dev/...", '#' starts a comment. Without an entry, port 4 is
// /dev/ttyUSB0 (the usual USB serial adapter of an external receiver).

#include <QString>

namespace wirra {

// The device of port n in the given map text; empty when the text has no entry and n has no default.
QString PortDeviceFromMap(const QString& mapText, unsigned port);

// The device of port n from the data folder's ports.conf.
QString PortDevice(unsigned port);

} // namespace wirra
