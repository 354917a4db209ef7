#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "SkyModel.h"

namespace stavo::sim {

// "$" + body + "*hh\r\n", hh = XOR of the body's bytes.
std::string nmeaSentence(std::string_view body);

// One NMEA sentence (or, for GSV, the group of them) for the epoch; name is the
// five letters as commanded (talker + type, e.g. "GPGGA"). Empty for a type this
// receiver does not produce.
std::string formatNmea(std::string_view name, const EpochState &e);

// "$BIN" frame: id, length, data, checksum (sum of data bytes mod 65536), CR LF.
std::string binFrame(int id, const std::string &data);

// Binary messages 1 (position), 96 (observations) and 99 (channel status), as
// whole frames; empty for another id.
std::string formatBinary(int id, const EpochState &e);

}  // namespace stavo::sim
