#include "FixModel.h"

#include <algorithm>

namespace stavo::sim {

FixModel::FixModel(bool noFix, double fixAfter) : m_noFix(noFix), m_fixAfter(fixAfter) {}

bool FixModel::streaming(double t) const
{
    return m_lastFrame >= 0.0 && t - m_lastFrame <= kMaxAge;
}

void FixModel::onCorrection(double t)
{
    if (!streaming(t))
        m_streamStart = t;
    m_lastFrame = t;
}

int FixModel::quality(double t, const std::string &diffSource) const
{
    if (m_noFix && (m_fixAfter < 0.0 || t < m_fixAfter))
        return 0;
    if (streaming(t)) {
        const double flowing = t - m_streamStart;
        if (flowing >= kFixedAfter)
            return 4;
        if (flowing >= kFloatAfter)
            return 5;
    }
    return diffSource == "WAAS" || diffSource == "SBAS" ? 2 : 1;
}

std::optional<double> FixModel::correctionAge(double t) const
{
    if (!streaming(t))
        return std::nullopt;
    // An epoch may be put out a little after a frame that arrived "later" than its
    // own time stamp (the epoch ran late): that frame is simply fresh.
    return std::max(0.0, t - m_lastFrame);
}

}  // namespace stavo::sim
