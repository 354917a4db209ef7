#pragma once
// Helpers shared by the receiver link tests: capture files, binary frames, a framer that collects, the
// reader threads' CPU time.

#include "Framer.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

namespace wirra_test {

inline std::string ReadData(const char* name)
{
    const char* dir = std::getenv("STAVO_TEST_DATA");
    std::ifstream in(std::string(dir ? dir : "tests/data") + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Msg {
    int type;
    unsigned id;
    std::string bytes;
    bool operator==(const Msg& o) const { return type == o.type && id == o.id && bytes == o.bytes; }
};

inline void PrintTo(const Msg& m, std::ostream* os)
{
    *os << m.type << "/" << m.id << " \"";
    for (std::size_t i = 0; i < m.bytes.size() && i < 80; ++i) {
        const unsigned char c = static_cast<unsigned char>(m.bytes[i]);
        if (c >= 0x20 && c < 0x7F)
            *os << char(c);
        else
            *os << "\\x" << "0123456789abcdef"[c >> 4] << "0123456789abcdef"[c & 15];
    }
    *os << (m.bytes.size() > 80 ? "...\"" : "\"");
}

class Collect : public wirra::FrameSink {
public:
    void OnFrame(int type, unsigned id, const char* bytes, std::size_t n) override
    {
        msgs.push_back({type, id, std::string(bytes, n)});
    }
    std::vector<Msg> msgs;
};

// Frames a whole input given in pieces cut at the given offsets (ascending), time standing still.
inline std::vector<Msg> FrameInPieces(const std::string& in, const std::vector<std::size_t>& cuts,
                                      wirra::FramerStats* stats = nullptr)
{
    Collect c;
    wirra::Framer f(c);
    std::size_t at = 0;
    for (std::size_t cut : cuts) {
        f.Feed(in.data() + at, cut - at, 0);
        at = cut;
    }
    f.Feed(in.data() + at, in.size() - at, 0);
    f.Finish();
    if (stats)
        *stats = f.Stats();
    return c.msgs;
}

inline std::vector<Msg> FrameWhole(const std::string& in, wirra::FramerStats* stats = nullptr)
{
    return FrameInPieces(in, {}, stats);
}

inline void PutU16(std::string& s, std::size_t at, unsigned v)
{
    s[at] = char(v & 0xFF);
    s[at + 1] = char((v >> 8) & 0xFF);
}

inline void PutF64(std::string& s, std::size_t at, double d)
{
    std::memcpy(&s[at], &d, 8);
}

// A "$BIN" frame around the data, with the right checksum unless told otherwise.
inline std::string BinFrame(unsigned id, const std::string& data, int checksumDelta = 0)
{
    std::string f = "$BIN";
    f.resize(8);
    PutU16(f, 4, id);
    PutU16(f, 6, unsigned(data.size()));
    f += data;
    unsigned sum = 0;
    for (unsigned char c : data)
        sum += c;
    f.resize(f.size() + 2);
    PutU16(f, f.size() - 2, (sum + unsigned(checksumDelta)) & 0xFFFF);
    f += "\r\n";
    return f;
}

// An NMEA sentence with its checksum appended.
inline std::string Nmea(const std::string& body)
{
    unsigned x = 0;
    for (char c : body)
        x ^= static_cast<unsigned char>(c);
    char cs[8];
    std::snprintf(cs, sizeof cs, "*%02X", x);
    return "$" + body + cs;
}

// CPU time (user + system, in clock ticks) of this process's receiver reader threads.
inline long ReaderTicks()
{
    long ticks = 0;
    QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(tid + QStringLiteral("/comm")));
        if (!comm.open(QIODevice::ReadOnly) || !comm.readAll().startsWith("wirra-reader"))
            continue;
        QFile stat(tasks.filePath(tid + QStringLiteral("/stat")));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> f = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (f.size() > 12)
            ticks += f[11].toLong() + f[12].toLong(); // utime, stime
    }
    return ticks;
}

} // namespace wirra_test
