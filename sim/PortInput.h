#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace stavo::sim {

// CRC-24Q as used by RTCM 3 (polynomial 0x1864CFB, initial value 0).
std::uint32_t crc24q(const std::uint8_t *data, std::size_t size);

// Splits what the program writes to the receiver's port into command lines and
// RTCM 3 frames. Both share one byte stream: the program forwards caster
// corrections on the same port it sends commands on. Anything else is skipped.
// Memory is bounded whatever comes in: a line longer than kMaxLine is dropped.
class PortInput {
public:
    static constexpr std::size_t kMaxLine = 256;

    struct Event {
        enum Kind { Line, Rtcm, Dropped } kind = Line;
        std::string text;   // Line: the line without CR LF
        int messageType = 0; // Rtcm: first 12 bits of the payload (0 for an empty payload)
        std::size_t size = 0; // Rtcm: whole frame length; Dropped: bytes skipped
    };

    // Feeds bytes; returns what was completed by them, in stream order.
    std::vector<Event> feed(const std::uint8_t *data, std::size_t size);
    std::vector<Event> feed(const std::string &bytes)
    {
        return feed(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
    }

    // Forgets any partial line or frame (the line was garbled meanwhile).
    void reset();

    std::size_t validFrames() const { return m_validFrames; }
    std::size_t badFrames() const { return m_badFrames; }

private:
    enum class State { Idle, Line, Frame };
    void step(std::uint8_t byte, std::vector<Event> &out);
    void frameByte(std::uint8_t byte, std::vector<Event> &out);
    void noteDropped(std::size_t n, std::vector<Event> &out);

    State m_state = State::Idle;
    std::string m_line;
    bool m_lineOverlong = false;
    std::vector<std::uint8_t> m_frame;
    std::size_t m_frameWanted = 0;
    std::deque<std::uint8_t> m_replay;
    std::size_t m_validFrames = 0;
    std::size_t m_badFrames = 0;
};

}  // namespace stavo::sim
