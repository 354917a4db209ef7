#pragma once
// Decodes each message and writes it as one JSON line: type, identifier, name and decoded fields.
// Keeps the counts for the summary line.

#include "CSIFormat.h"
#include "Framer.h"

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

class MessagePrinter {
public:
    explicit MessagePrinter(std::FILE* out) : m_out(out) {}
    void Print(int type, unsigned id, const char* bytes, int n);
    void PrintSummary(const wirra::FramerStats& stats, std::uint64_t discarded);

private:
    std::FILE* m_out;
    CCSIFormat m_decoder;
    std::map<std::pair<int, unsigned>, std::uint64_t> m_counts;
    std::uint64_t m_total = 0;
    std::string m_line;
};
