#pragma once
// The port's output queue: complete messages from the reader thread, taken one by one by the program
// on its own thread. Bounded in messages and bytes, so a program that stops draining (or a flood on
// the line) cannot exhaust memory: when full, the oldest message is discarded and counted, as fresh
// receiver data matters more than stale data.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

// One message: its record type (6 NMEA, 23 reply, 27 binary), identifier and bytes. The bytes are
// followed by a NUL, so text messages can be handed on as C strings.
class CNOutUnknown {
public:
    CNOutUnknown() = default;
    CNOutUnknown(int type, unsigned id, const char* bytes, std::size_t n)
        : m_type(type), m_id(id), m_bytes(bytes, n) {}
    int Type() const { return m_type; }
    unsigned Id() const { return m_id; }
    const char* Data() const { return m_bytes.c_str(); }
    int Length() const { return int(m_bytes.size()); }

private:
    int m_type = 0;
    unsigned m_id = 0;
    std::string m_bytes;
};

class CNOut {
public:
    static constexpr std::size_t kMaxMessages = 4096;
    static constexpr std::size_t kMaxBytes = 1u << 20;

    // Program side. Takes the oldest waiting message and makes it the current one: 1 when one was
    // taken, 0 when none waits (the current message then stays as it was).
    int Read();
    const CNOutUnknown& Current() const { return m_current; }
    // Blocks up to timeoutMs until a message waits; true if one does (for tools without a window).
    bool WaitForMessage(int timeoutMs);

    // Reader side. Appends a message; true when the owner should be notified, i.e. when no
    // notification is outstanding (one is outstanding from then until Read finds the queue empty),
    // so a burst of messages costs one window message.
    bool Push(int type, unsigned id, const char* bytes, std::size_t n);
    // Forgets waiting messages and any outstanding notification (the port was closed or reopened).
    void Clear();

    std::size_t Waiting() const;
    std::uint64_t Discarded() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<CNOutUnknown> m_queue;
    std::size_t m_bytes = 0;
    std::uint64_t m_discarded = 0;
    bool m_notified = false;
    CNOutUnknown m_current; // touched by the program's thread only
};
