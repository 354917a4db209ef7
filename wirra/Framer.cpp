#include "Framer.h"

#include "MessageKinds.h"

#include <cstring>

namespace wirra {

namespace {

constexpr char kBin[] = "$BIN";

unsigned U16(const char* p)
{
    return unsigned(static_cast<unsigned char>(p[0])) | (unsigned(static_cast<unsigned char>(p[1])) << 8);
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

} // namespace

void Framer::Feed(const char* data, std::size_t n, std::int64_t nowMs)
{
    m_nowMs = nowMs;
    Poll(nowMs);
    m_stats.bytesIn += n;
    m_buf.append(data, n);
    while (m_pos < m_buf.size() && ScanOne() == Step::Done) {
    }
    if (BurstPending() && n > 0)
        m_burstLastMs = nowMs; // the line is not silent yet
    // Keep only the partial frame; it is at most one line or one binary frame long.
    if (m_pos >= m_buf.size()) {
        m_buf.clear();
        m_lineScan = 0;
        m_lineEndAt = m_lineEndAt == m_pos ? 0 : kNowhere;
    } else if (m_pos > 0) {
        m_buf.erase(0, m_pos);
        m_lineScan = m_lineScan > m_pos ? m_lineScan - m_pos : 0;
        m_lineEndAt = m_lineEndAt >= m_pos && m_lineEndAt != kNowhere ? m_lineEndAt - m_pos : kNowhere;
    }
    m_pos = 0;
}

void Framer::Poll(std::int64_t nowMs)
{
    if (BurstPending() && nowMs >= BurstDeadline())
        FlushBurst();
}

void Framer::Finish()
{
    // No more bytes will come: a frame still waiting for its rest is cut. Skip its '$' and look
    // for whole messages in what follows it.
    while (m_pos < m_buf.size()) {
        if (ScanOne() == Step::NeedMore) {
            if (m_buf[m_pos] == '$' && m_buf.compare(m_pos, 4, kBin) == 0)
                ++m_stats.badBinary;
            else
                ++m_stats.brokenLines;
            Drop(1);
        }
    }
    FlushBurst();
    Reset();
}

void Framer::Reset()
{
    FlushBurst();
    m_stats.droppedBytes += m_buf.size() - m_pos;
    m_buf.clear();
    m_pos = 0;
    m_lineScan = 0;
    m_lineEndAt = kNowhere;
}

Framer::Step Framer::ScanOne()
{
    const char* base = m_buf.data();
    const std::size_t size = m_buf.size();
    if (base[m_pos] != '$') {
        // Outside a frame: skip to the next '$'. Line ends between messages are not noise.
        const void* hit = std::memchr(base + m_pos, '$', size - m_pos);
        const std::size_t next = hit ? std::size_t(static_cast<const char*>(hit) - base) : size;
        for (std::size_t i = m_pos; i < next; ++i) {
            if (IsLineEnd(base[i]) && i == m_lineEndAt)
                m_lineEndAt = i + 1; // the line end of the message just delivered
            else
                ++m_stats.droppedBytes;
        }
        m_pos = next;
        m_lineScan = next;
        return Step::Done;
    }
    const std::size_t avail = size - m_pos;
    const std::size_t cmp = avail < 4 ? avail : 4;
    if (std::memcmp(base + m_pos, kBin, cmp) == 0) {
        if (avail < 4)
            return Step::NeedMore;
        return TryBinary();
    }
    return TryLine();
}

Framer::Step Framer::TryBinary()
{
    const char* p = m_buf.data() + m_pos;
    const std::size_t avail = m_buf.size() - m_pos;
    if (avail < 8)
        return Step::NeedMore;
    const unsigned id = U16(p + 4);
    const unsigned len = U16(p + 6);
    const unsigned known = BinaryDataLength(id);
    if (len > kMaxBinaryData || (known != 0 && len != known)) {
        ++m_stats.badBinary;
        Drop(1); // resynchronise on the next '$', which may lie inside this false header
        return Step::Done;
    }
    const std::size_t total = 8 + std::size_t(len) + 4;
    if (avail < total)
        return Step::NeedMore;
    unsigned sum = 0;
    for (unsigned i = 0; i < len; ++i)
        sum += static_cast<unsigned char>(p[8 + i]);
    if ((sum & 0xFFFF) != U16(p + 8 + len) || p[10 + len] != '\r' || p[11 + len] != '\n') {
        ++m_stats.badBinary;
        Drop(1);
        return Step::Done;
    }
    FlushBurst(); // any message other than a report line ends a report burst
    m_sink.OnFrame(kTypeBinary, id, p, total);
    m_pos += total;
    m_lineScan = m_pos;
    m_lineEndAt = m_pos;
    return Step::Done;
}

Framer::Step Framer::TryLine()
{
    const char* base = m_buf.data();
    const std::size_t size = m_buf.size();
    std::size_t i = m_lineScan > m_pos ? m_lineScan : m_pos + 1;
    const std::size_t limit = m_pos + kMaxLine;
    for (; i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(base[i]);
        if (c == '\r' || c == '\n') {
            const std::size_t start = m_pos;
            m_pos = i + 1;
            m_lineScan = m_pos;
            m_lineEndAt = m_pos;
            DeliverLine(base + start, i - start);
            return Step::Done;
        }
        if (c == '$') {
            // A new message starts before this one ended: the line was cut.
            ++m_stats.brokenLines;
            Drop(i - m_pos);
            return Step::Done;
        }
        if (c < 0x20 || c >= 0x7F) {
            // Binary noise inside a text line (typically a wrong baud rate).
            ++m_stats.brokenLines;
            Drop(i + 1 - m_pos);
            return Step::Done;
        }
        if (i + 1 >= limit) {
            ++m_stats.overlong;
            Drop(i + 1 - m_pos);
            return Step::Done;
        }
    }
    m_lineScan = i;
    return Step::NeedMore;
}

void Framer::DeliverLine(const char* p, std::size_t n)
{
    if (n >= 2 && p[1] == '>') {
        static constexpr char kShow[] = "$>JSHOW,";
        constexpr std::size_t kShowLen = sizeof kShow - 1;
        if (n >= kShowLen && std::memcmp(p, kShow, kShowLen) == 0) {
            if (m_burstLines >= kMaxBurstLines)
                FlushBurst();
            if (m_burstLines == 0)
                m_burstFirstMs = m_nowMs;
            m_burst.append(p, n);
            m_burst.append("\r\n", 2);
            ++m_burstLines;
            m_burstLastMs = m_nowMs;
            return;
        }
        FlushBurst();
        std::size_t rest = 2;
        while (rest < n && p[rest] == ' ')
            ++rest;
        m_sink.OnFrame(kTypeReply, rest == n ? kIdAck : kIdOtherReply, p, n);
        return;
    }
    FlushBurst();
    DeliverNmea(p, n);
}

void Framer::DeliverNmea(const char* p, std::size_t n)
{
    // "$ttSSS" at least, then "*hh" at the very end.
    if (n < 9 || p[n - 3] != '*') {
        ++m_stats.badChecksum;
        m_stats.droppedBytes += n;
        return;
    }
    const int hi = HexValue(p[n - 2]);
    const int lo = HexValue(p[n - 1]);
    unsigned x = 0;
    for (std::size_t i = 1; i < n - 3; ++i)
        x ^= static_cast<unsigned char>(p[i]);
    if (hi < 0 || lo < 0 || unsigned(hi * 16 + lo) != x) {
        ++m_stats.badChecksum;
        m_stats.droppedBytes += n;
        return;
    }
    // The name counts only in a well-formed address, "$" + two-letter talker + three letters: a
    // sentence such as "$G,GGA,..." or "$GPGGAX,..." is no GGA.
    const std::size_t body = n - 3;
    std::size_t addressEnd = 1;
    while (addressEnd < body && p[addressEnd] != ',')
        ++addressEnd;
    const bool wellFormed = addressEnd == 6;
    const unsigned id = !wellFormed || p[1] == 'P' ? kIdOtherSentence : SentenceId(p + 3);
    m_sink.OnFrame(kTypeNmea, id, p, n);
}

void Framer::FlushBurst()
{
    if (m_burstLines == 0)
        return;
    m_sink.OnFrame(kTypeReply, kIdShowReport, m_burst.data(), m_burst.size());
    m_burst.clear();
    m_burstLines = 0;
}

} // namespace wirra
