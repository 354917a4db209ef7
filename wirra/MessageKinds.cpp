#include "MessageKinds.h"

#include <cstring>

namespace wirra {

unsigned SentenceId(const char* n)
{
    struct Entry { const char* name; unsigned id; };
    static constexpr Entry table[] = {
        {"GGA", kIdGGA}, {"GLL", kIdGLL}, {"GNS", kIdGNS}, {"GRS", kIdGRS}, {"GSA", kIdGSA},
        {"GST", kIdGST}, {"GSV", kIdGSV}, {"RMC", kIdRMC}, {"RRE", kIdRRE}, {"ZDA", kIdZDA},
        {"VTG", kIdVTG}, {"GBS", kIdGBS}, {"HDT", kIdHDT},
    };
    for (const Entry& e : table)
        if (std::memcmp(e.name, n, 3) == 0)
            return e.id;
    return kIdOtherSentence;
}

unsigned BinaryDataLength(unsigned blockId)
{
    switch (blockId) {
    case 1: return 52;
    case 2: return 16;
    case 80: return 40;
    case 93: return 56;
    case 94: return 96;
    case 95: return 128;
    case 96: return 300;
    case 97: return 28;
    case 98: return 68;
    case 99: return 304;
    default: return 0;
    }
}

} // namespace wirra
