#include "LineNoise.h"

#include <algorithm>

#include "SkyModel.h"

namespace stavo::sim {

std::size_t LineNoise::scaledSize(std::size_t size, int senderRate, int readerRate)
{
    if (size == 0 || senderRate <= 0 || readerRate <= 0)
        return size == 0 ? 0 : std::min(size, kMaxBurst);
    // A faster reader sees several frames per sent byte, a slower one fewer.
    const auto scaled = static_cast<std::size_t>(static_cast<unsigned long long>(size) * static_cast<unsigned>(readerRate)
                                                 / static_cast<unsigned>(senderRate));
    return std::clamp<std::size_t>(scaled, 1, kMaxBurst);
}

std::string LineNoise::garble(std::size_t size, int senderRate, int readerRate)
{
    std::string out(scaledSize(size, senderRate, readerRate), '\0');
    for (char &c : out) {
        std::uint8_t b;
        do {
            m_state = mix64(m_state);
            b = static_cast<std::uint8_t>(m_state >> 56);
        } while (b == '$' || b == '\n');
        c = static_cast<char>(b);
    }
    return out;
}

}  // namespace stavo::sim
