#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace stavo::sim {

// What a UART at the wrong rate makes of the receiver's bytes: deterministic
// noise (from the seed), its length scaled by the rate ratio, never containing
// '$' or '\n' so that no reader can find a message in it.
class LineNoise {
public:
    static constexpr std::size_t kMaxBurst = 4096;

    explicit LineNoise(std::uint64_t seed) : m_state(seed) {}

    // Noise standing for `size` bytes sent at senderRate and sampled at readerRate.
    std::string garble(std::size_t size, int senderRate, int readerRate);

    static std::size_t scaledSize(std::size_t size, int senderRate, int readerRate);

private:
    std::uint64_t m_state;
};

}  // namespace stavo::sim
