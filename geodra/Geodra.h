#pragma once
// Device facts and the time zone of the handheld.
//
// The zone is one of the whole-hour zones "-11:00" .. "12:00" (the options page's list entries). It
// is kept in the data folder ("timezone") across runs; before the user picks one it is the system's
// offset from UTC in whole hours. Device model and language come from the data folder's "device"
// file (lines "pda=N", "lang=N"); without it both are 0 (a generic handheld, Chinese).

#include <QString>

// The handheld model; 2 is the narrow-screen model.
int nGetPDAType();
// The user-interface language; 1 is English.
int nGetLang();
// The current zone as "%d:00".
QString strGetTimeZoneIndex();
// Makes the zone named by such a text current (ignored when the text names no zone -11..12).
void vSetTimeZoneIndex(const QString& text);
// The current zone's offset from UTC in seconds, east positive.
long lngGetTimeZoneSec();

namespace geodra {
// Parses "%d:00" texts; false for anything else or a zone outside -11..12.
bool ParseZone(const QString& text, int* hours);
// The system's offset in whole hours, clamped to -11..12.
int SystemZoneHours();
} // namespace geodra
