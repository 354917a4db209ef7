#include "BaudProbe.h"

namespace stavo {

namespace {
int g_attempts = 0;
}

unsigned BaudProbe::NextRate()
{
    ++g_attempts;
    if (g_attempts > kMaxProbeAttempts)
        return 0;
    return kProbeRates[std::size_t(g_attempts % int(kProbeRates.size()))];
}

int BaudProbe::Attempts() { return g_attempts; }

void BaudProbe::ResetForTest() { g_attempts = 0; }

} // namespace stavo
