#pragma once
// The status area's texts, computed from decoded receiver values without any widget: the solution
// line with its colour, and angles as degrees, minutes and seconds.

#include "platform/WinTypes.h"

#include <QString>

namespace stavo {

struct PositionStatusInput {
    unsigned quality = 0;      // GGA fix quality, 0..255
    bool hasPrecision = false; // a GST with position sigmas has been decoded
    double sigmaLat = 0, sigmaLon = 0, sigmaHeight = 0; // metres
    int diffSource = 0;        // differential source from the status report; 2 is CORS
    bool loginPending = false; // a caster login is under way
};

struct StatusLine {
    QString text;
    platform::COLORREF colour = 0;
};

StatusLine ComposePositionStatus(const PositionStatusInput& in);

// Degrees as d°mm'ss.ssss"; a negative angle carries its sign on each part.
QString FormatDms(double degrees);

// Horizontal and vertical precision and RMS as the status line shows them (single precision).
struct Precision {
    float h = 0, v = 0, rms = 0;
};
Precision ComputePrecision(double sigmaLat, double sigmaLon, double sigmaHeight);

} // namespace stavo
