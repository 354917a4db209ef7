// Reader and decoder on arbitrary bytes: the framer (in pieces whose sizes and arrival times come
// from the input), every decoder operation on what it delivers, and the decoders on raw input too.

#include "CSIFormat.h"
#include "Decode.h"
#include "Framer.h"
#include "GpsTime.h"
#include "PortMap.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

class Sink : public wirra::FrameSink {
public:
    void OnFrame(int type, unsigned id, const char* bytes, std::size_t n) override
    {
        copy.assign(bytes, n);
        wirra::DecodeMessage(decoder, type, id, copy.c_str(), int(n));
        // The text decoders must also cope with any message, not only the right one.
        decoder.bProcessGGA(copy.c_str());
        decoder.bProcessRMC(copy.c_str());
        decoder.ProcessSBinaryMsg99(copy.data(), int(n));
    }
    CCSIFormat decoder;
    std::string copy;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const unsigned piece = 1u + data[0] % 64u;
    const unsigned step = data[1] % 120u;
    const char* p = reinterpret_cast<const char*>(data + 2);
    size -= 2;

    Sink sink;
    wirra::Framer framer(sink);
    std::int64_t now = 0;
    for (std::size_t at = 0; at < size; at += piece) {
        const std::size_t n = size - at < piece ? size - at : piece;
        framer.Feed(p + at, n, now);
        now += step;
        framer.Poll(now);
        if (framer.BufferedBytes() > wirra::Framer::kMaxLine + wirra::Framer::kMaxBinaryData + 12)
            __builtin_trap(); // memory held between calls must stay bounded
    }
    framer.Finish();

    const std::string text(p, size);
    CCSIFormat d;
    d.bProcessGGA(text.c_str());
    d.bProcessGSA(text.c_str());
    d.bProcessGST(text.c_str());
    d.bProcessRMC(text.c_str());
    d.bProcessZDA(text.c_str());
    d.ProcessCSISHOW(text.c_str());
    d.ProcessSBinaryMsg96(p, int(size));
    d.ProcessSBinaryMsg99(p, int(size));

    // The port map file is outside input too.
    const QString device = wirra::PortDeviceFromMap(QString::fromUtf8(p, qsizetype(size)), data[0] % 8u);
    if (data[0] % 8u == 4 && device.isEmpty())
        __builtin_trap(); // port 4 always has a device

    if (size >= 12) {
        std::int32_t week32;
        double seconds;
        std::memcpy(&week32, p, sizeof week32);
        std::memcpy(&seconds, p + 4, sizeof seconds);
        const long week = week32;
        long y, mo, da, h, mi;
        double s;
        if (gps_to_ymdhms(week, seconds, &y, &mo, &da, &h, &mi, &s)) {
            if (mo < 1 || mo > 12 || da < 1 || da > 31 || h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 || s >= 60.0)
                __builtin_trap();
        }
    }
    return 0;
}
