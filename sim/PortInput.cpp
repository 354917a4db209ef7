#include "PortInput.h"

namespace stavo::sim {

std::uint32_t crc24q(const std::uint8_t *data, std::size_t size)
{
    std::uint32_t crc = 0;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= static_cast<std::uint32_t>(data[i]) << 16;
        for (int b = 0; b < 8; ++b) {
            crc <<= 1;
            if (crc & 0x1000000)
                crc ^= 0x1864CFB;
        }
    }
    return crc & 0xFFFFFF;
}

void PortInput::reset()
{
    m_state = State::Idle;
    m_line.clear();
    m_lineOverlong = false;
    m_frame.clear();
    m_frameWanted = 0;
    m_replay.clear();
}

std::vector<PortInput::Event> PortInput::feed(const std::uint8_t *data, std::size_t size)
{
    std::vector<Event> out;
    for (std::size_t i = 0; i < size; ++i) {
        step(data[i], out);
        // Bytes handed back by a failed frame candidate are looked at before the next new byte.
        while (!m_replay.empty()) {
            const std::uint8_t b = m_replay.front();
            m_replay.pop_front();
            step(b, out);
        }
    }
    return out;
}

void PortInput::noteDropped(std::size_t n, std::vector<Event> &out)
{
    if (n == 0)
        return;
    // Adjacent skipped bytes are reported as one run.
    if (!out.empty() && out.back().kind == Event::Dropped) {
        out.back().size += n;
        return;
    }
    Event e;
    e.kind = Event::Dropped;
    e.size = n;
    out.push_back(e);
}

void PortInput::step(std::uint8_t byte, std::vector<Event> &out)
{
    switch (m_state) {
    case State::Idle:
        if (byte == '$') {
            m_state = State::Line;
            m_line.assign(1, '$');
            m_lineOverlong = false;
        } else if (byte == 0xD3) {
            m_state = State::Frame;
            m_frame.assign(1, byte);
            m_frameWanted = 3;
        } else if (byte != '\r' && byte != '\n') {
            noteDropped(1, out);
        }
        return;
    case State::Line:
        if (byte == '\n') {
            if (!m_line.empty() && m_line.back() == '\r')
                m_line.pop_back();
            if (m_lineOverlong) {
                noteDropped(m_line.size() + 1, out);
            } else {
                Event e;
                e.kind = Event::Line;
                e.text = m_line;
                out.push_back(std::move(e));
            }
            m_line.clear();
            m_state = State::Idle;
        } else if (byte == 0xD3) {
            // Commands are plain ASCII: this is a correction frame cutting in.
            noteDropped(m_line.size(), out);
            m_line.clear();
            m_state = State::Frame;
            m_frame.assign(1, byte);
            m_frameWanted = 3;
        } else if (m_line.size() >= kMaxLine) {
            m_lineOverlong = true; // keep counting until the end of the line, store nothing more
            m_line.resize(kMaxLine);
            noteDropped(1, out);
        } else {
            m_line.push_back(static_cast<char>(byte));
        }
        return;
    case State::Frame:
        frameByte(byte, out);
        return;
    }
}

void PortInput::frameByte(std::uint8_t byte, std::vector<Event> &out)
{
    m_frame.push_back(byte);
    if (m_frame.size() == 3) {
        // 6 reserved bits must be zero; then the 10-bit payload length.
        if (m_frame[1] & 0xFC) {
            ++m_badFrames;
        } else {
            std::size_t payload = (static_cast<std::size_t>(m_frame[1] & 0x03) << 8) | m_frame[2];
            m_frameWanted = 3 + payload + 3;
            return;
        }
    } else if (m_frame.size() < m_frameWanted || m_frame.size() < 3) {
        return;
    } else {
        const std::size_t body = m_frameWanted - 3;
        const std::uint32_t want = (static_cast<std::uint32_t>(m_frame[body]) << 16)
                                   | (static_cast<std::uint32_t>(m_frame[body + 1]) << 8) | m_frame[body + 2];
        if (crc24q(m_frame.data(), body) == want) {
            ++m_validFrames;
            Event e;
            e.kind = Event::Rtcm;
            e.size = m_frame.size();
            if (body >= 5)
                e.messageType = (m_frame[3] << 4) | (m_frame[4] >> 4);
            out.push_back(e);
            m_frame.clear();
            m_state = State::Idle;
            return;
        }
        ++m_badFrames;
    }
    // Not a frame after all: the 0xD3 was junk. Look again from the byte after it,
    // since a real frame or command may start inside what was taken in.
    m_replay.insert(m_replay.begin(), m_frame.begin() + 1, m_frame.end());
    m_frame.clear();
    m_state = State::Idle;
    noteDropped(1, out);
}

}  // namespace stavo::sim
