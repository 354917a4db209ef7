#pragma once
// The program's data folder: $XDG_CONFIG_HOME/stavo, else ~/.config/stavo. It replaces the
// program's own folder of the handheld for every file the program keeps (configuration, time zone,
// port map). Tests point XDG_CONFIG_HOME at a temporary folder.

#include <QString>

namespace platform {

// The folder, created if missing. Read from the environment at each call, so tests can switch it.
QString DataFolder();

// A file name inside the data folder.
QString DataFile(const QString& name);

} // namespace platform
