#include "PositionStatus.h"

#include "res/resource.h"

#include "platform/StringTable.h"

#include <cmath>
#include <cstdio>

namespace stavo {

using platform::LoadString;
using platform::RGB;

namespace {

QString formatPrecision(platform::UINT id, const Precision& p)
{
    char buf[160];
    const QByteArray fmt = LoadString(id).toUtf8();
    std::snprintf(buf, sizeof buf, fmt.constData(), double(p.h), double(p.v), double(p.rms));
    return QString::fromUtf8(buf);
}

} // namespace

Precision ComputePrecision(double sigmaLat, double sigmaLon, double sigmaHeight)
{
    Precision p;
    p.h = float(std::sqrt(sigmaLat * sigmaLat + sigmaLon * sigmaLon));
    p.v = float(sigmaHeight);
    p.rms = float(0.68 * std::sqrt(double(p.h) * double(p.h) + double(p.v) * double(p.v)));
    return p;
}

StatusLine ComposePositionStatus(const PositionStatusInput& in)
{
    const Precision p = ComputePrecision(in.sigmaLat, in.sigmaLon, in.sigmaHeight);
    // Pick the text with precision values when a GST has been seen, else the plain one.
    auto pick = [&](platform::UINT withPrecision, platform::UINT plain) {
        return in.hasPrecision ? formatPrecision(withPrecision, p) : LoadString(plain);
    };
    StatusLine s;
    switch (in.quality) {
    case 0: s = {LoadString(IDS_SEARCHING), RGB(255, 0, 0)}; break;
    case 1: s = {pick(IDS_SINGLE_PREC, IDS_SINGLE), RGB(0, 0, 255)}; break;
    case 2: {
        const QString prefix = in.diffSource == 2 ? QStringLiteral("CORS") : QStringLiteral("WAAS");
        s = {prefix + pick(IDS_DIFF_PREC, IDS_DIFF), RGB(255, 128, 0)};
        break;
    }
    case 3:
    case 4: s = {pick(IDS_FIXED_PREC, IDS_FIXED), RGB(192, 192, 0)}; break;
    case 5: s = {pick(IDS_FLOAT_PREC, IDS_FLOAT), RGB(255, 255, 0)}; break;
    case 6: s = {LoadString(IDS_DEAD_RECKONING), RGB(0, 0, 0)}; break;
    case 7: s = {LoadString(IDS_BASE_FIXED), RGB(0, 0, 255)}; break;
    case 8: s = {LoadString(IDS_SIMULATION), RGB(255, 0, 0)}; break;
    case 9: s = {LoadString(IDS_WAAS), RGB(255, 0, 0)}; break;
    default: s = {LoadString(IDS_UNKNOWN_STATUS), RGB(255, 0, 0)}; break;
    }
    if ((in.quality == 1 || in.quality == 2) && in.loginPending)
        s = {LoadString(IDS_LOGGING_IN), RGB(255, 128, 0)};
    return s;
}

QString FormatDms(double x)
{
    constexpr double eps = 1e-7;
    // A value no receiver can report (not a number, or beyond any angle) must not reach the integer
    // conversions below.
    if (!std::isfinite(x) || std::fabs(x) > 1e6)
        return QStringLiteral("--");
    const bool negative = x < 0;
    if (negative)
        x = -x;
    int d = int(x + eps);
    double mPrime = (x - d) * 60.0;
    if (mPrime < 0)
        mPrime = 0;
    int m = int(mPrime + eps);
    double s = std::fabs((mPrime - m) * 60.0);
    if (s < eps)
        s = 0;
    if (negative) {
        d = -d;
        m = -m;
        s = -s;
    }
    char buf[96];
    std::snprintf(buf, sizeof buf, "%d\xC2\xB0%.2d'%.4f\"", d, m, s);
    return QString::fromUtf8(buf);
}

} // namespace stavo
