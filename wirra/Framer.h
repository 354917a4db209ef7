#pragma once
// Cuts the receiver's byte stream into messages: NMEA sentences (checksum checked, CR LF or bare LF),
// "$>" replies (a "$JSHOW" report burst becomes one message) and "$BIN" frames (length, checksum and
// CR LF checked). Anything else is skipped and counted, and scanning resumes at the next '$', so line
// noise at a wrong baud rate, cut frames and over-long lines cost only the bytes they occupy. Memory
// held between calls never exceeds one partial frame. Pure logic: no threads, no clock of its own.

#include <cstddef>
#include <cstdint>
#include <string>

namespace wirra {

// Receives each complete message. The bytes are valid only during the call: for text messages the
// line without its line end (a report burst: its lines, each ending in CR LF); for binary messages
// the whole frame from "$BIN" to the closing CR LF.
class FrameSink {
public:
    virtual ~FrameSink() = default;
    virtual void OnFrame(int type, unsigned id, const char* bytes, std::size_t n) = 0;
};

struct FramerStats {
    std::uint64_t bytesIn = 0;
    std::uint64_t droppedBytes = 0; // bytes that were not part of a delivered message or its line end
    std::uint64_t badChecksum = 0;  // NMEA sentences with a wrong or missing checksum
    std::uint64_t badBinary = 0;    // "$BIN" frames with a bad length, checksum or ending
    std::uint64_t overlong = 0;     // text lines longer than kMaxLine
    std::uint64_t brokenLines = 0;  // text lines cut by a new '$' or holding control bytes
};

class Framer {
public:
    static constexpr std::size_t kMaxLine = 512;       // longest text line accepted, '$' included
    static constexpr unsigned kMaxBinaryData = 1024;   // longest binary payload accepted
    static constexpr std::int64_t kBurstGapMs = 100;   // silence that ends a "$JSHOW" burst
    static constexpr std::int64_t kMaxBurstMs = 2000;  // a burst is delivered by then in any case
    static constexpr std::size_t kMaxBurstLines = 64;  // a longer burst is delivered in parts

    explicit Framer(FrameSink& sink) : m_sink(sink) {}

    // Bytes as they arrive; nowMs is any monotonic time in milliseconds (used only to end bursts).
    void Feed(const char* data, std::size_t n, std::int64_t nowMs);
    // Delivers a "$JSHOW" burst after kBurstGapMs without a byte (a line still arriving at a slow
    // rate keeps the burst open), or kMaxBurstMs after its first line.
    void Poll(std::int64_t nowMs);
    // End of input: delivers a pending burst and counts a partial frame as dropped.
    void Finish();
    // Forgets a partial frame (after a baud-rate change its bytes are meaningless); a burst is delivered.
    void Reset();

    void ClearStats() { m_stats = FramerStats(); }

    bool BurstPending() const { return m_burstLines > 0; }
    std::int64_t BurstDeadline() const
    {
        const std::int64_t quiet = m_burstLastMs + kBurstGapMs;
        const std::int64_t cap = m_burstFirstMs + kMaxBurstMs;
        return quiet < cap ? quiet : cap;
    }
    const FramerStats& Stats() const { return m_stats; }
    // Bytes held for a partial frame (bounded by the longest frame).
    std::size_t BufferedBytes() const { return m_buf.size() - m_pos; }

private:
    enum class Step { Done, NeedMore };
    Step ScanOne();
    Step TryBinary();
    Step TryLine();
    void Drop(std::size_t n) { m_stats.droppedBytes += n; m_pos += n; m_lineScan = m_pos; }
    void DeliverLine(const char* p, std::size_t n);
    void DeliverNmea(const char* p, std::size_t n);
    void FlushBurst();

    FrameSink& m_sink;
    std::string m_buf;          // unconsumed bytes start at m_pos
    std::size_t m_pos = 0;
    std::size_t m_lineScan = 0; // where the search for the current line's end resumes
    static constexpr std::size_t kNowhere = ~std::size_t(0);
    std::size_t m_lineEndAt = kNowhere; // a CR or LF here ends the message before it: not noise
    std::string m_burst;
    std::size_t m_burstLines = 0;
    std::int64_t m_burstLastMs = 0;  // last byte received while a burst was open
    std::int64_t m_burstFirstMs = 0; // its first line
    std::int64_t m_nowMs = 0;
    FramerStats m_stats;
};

} // namespace wirra
