// Reader and decoder throughput against Debian's gpsdecode on the same NMEA bytes in the same run,
// binary throughput, and the latency from a byte written on a pseudo-terminal to the message in the
// queue and to the notice posted to a window.
//
//   bench_wirra [--mb N] [--data DIR] [--latency-rounds N]
//
// DIR defaults to $STAVO_TEST_DATA, else tests/data of the source tree.

#include "Decode.h"
#include "Framer.h"
#include "TrimblePort.h"
#include "platform/Window.h"

#include <QApplication>
#include <QWidget>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int posix_openpt(int);
extern "C" int grantpt(int);
extern "C" int unlockpt(int);
extern "C" char* ptsname(int);

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The program's path: each message goes through the CNOut queue (as the reader thread pushes it and
// the window drains it) and is then decoded from the current message.
class DecodeSink : public wirra::FrameSink {
public:
    void OnFrame(int type, unsigned id, const char* bytes, std::size_t n) override
    {
        queue.Push(type, id, bytes, n);
        while (queue.Read() == 1) {
            const CNOutUnknown& m = queue.Current();
            wirra::DecodeMessage(decoder, m.Type(), m.Id(), m.Data(), m.Length());
            ++messages;
        }
    }
    CNOut queue;
    CCSIFormat decoder;
    std::uint64_t messages = 0;
};

// Best of three: seconds to frame, queue and decode the stream fed in 4 KiB reads.
double TimeOurs(const std::string& stream, std::uint64_t* messages)
{
    double best = 1e9;
    for (int round = 0; round < 3; ++round) {
        DecodeSink sink;
        wirra::Framer framer(sink);
        const auto t0 = Clock::now();
        for (std::size_t at = 0; at < stream.size(); at += 4096)
            framer.Feed(stream.data() + at, std::min<std::size_t>(4096, stream.size() - at), 0);
        framer.Finish();
        best = std::min(best, Seconds(Clock::now() - t0));
        *messages = sink.messages;
    }
    return best;
}

// Best of three: seconds for "gpsdecode < file > /dev/null"; negative when it cannot be run.
double TimeGpsdecode(const std::string& file)
{
    double best = 1e9;
    for (int round = 0; round < 3; ++round) {
        const auto t0 = Clock::now();
        const pid_t pid = fork();
        if (pid < 0)
            return -1;
        if (pid == 0) {
            const int in = open(file.c_str(), O_RDONLY);
            const int out = open("/dev/null", O_WRONLY);
            if (in < 0 || out < 0)
                _exit(127);
            dup2(in, 0);
            dup2(out, 1);
            execlp("gpsdecode", "gpsdecode", static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) == 127)
            return -1;
        best = std::min(best, Seconds(Clock::now() - t0));
    }
    return best;
}

class NoticeWindow : public QWidget, public platform::Window {
public:
    NoticeWindow() : platform::Window(this) {}
    platform::LRESULT WindowProc(platform::UINT m, platform::WPARAM w, platform::LPARAM l) override
    {
        if (m == WM_RECEIVER_DATA) {
            ++notices;
            noticeAt = Clock::now();
        }
        return platform::Window::WindowProc(m, w, l);
    }
    int notices = 0;
    Clock::time_point noticeAt;
};

double Percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size() - 1) + 0.5))];
}

void MeasureLatency(int rounds)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::printf("latency: no pseudo-terminal\n");
        return;
    }
    NoticeWindow window;
    CTrimblePort port;
    if (!port.bOpenDevice(&window, QString::fromLocal8Bit(ptsname(master)), 115200)) {
        std::printf("latency: cannot open the pseudo-terminal's slave\n");
        close(master);
        return;
    }
    const std::string gga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
    std::vector<double> toQueue, toNotice;
    for (int i = 0; i < rounds + 10; ++i) {
        const int before = window.notices;
        const auto t0 = Clock::now();
        if (write(master, gga.data(), gga.size()) != ssize_t(gga.size()))
            break;
        if (!port.m_out.WaitForMessage(1000))
            break;
        const auto t1 = Clock::now();
        const auto deadline = t1 + std::chrono::seconds(1);
        while (window.notices == before && Clock::now() < deadline)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (window.notices == before)
            break;
        while (port.m_out.Read() == 1) {
        }
        if (i >= 10) { // the first rounds warm up threads and caches
            toQueue.push_back(Seconds(t1 - t0) * 1e6);
            toNotice.push_back(Seconds(window.noticeAt - t0) * 1e6);
        }
        usleep(2000);
    }
    port.vClosePort();
    close(master);
    std::printf("latency (pty write -> message in queue): median %.0f us, p99 %.0f us, max %.0f us over %zu rounds\n",
                Percentile(toQueue, 0.5), Percentile(toQueue, 0.99), Percentile(toQueue, 1.0), toQueue.size());
    std::printf("latency (pty write -> WM_RECEIVER_DATA handled): median %.0f us, p99 %.0f us, max %.0f us\n",
                Percentile(toNotice, 0.5), Percentile(toNotice, 0.99), Percentile(toNotice, 1.0));
    std::printf("latency target under 1000 us (median): %s\n", Percentile(toNotice, 0.5) < 1000 ? "met" : "NOT met");
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    double mb = 32;
    int rounds = 200;
    std::string dir = std::getenv("STAVO_TEST_DATA") ? std::getenv("STAVO_TEST_DATA") : STAVO_DEFAULT_DATA;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--mb"))
            mb = std::atof(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--data"))
            dir = argv[i + 1];
        else if (!std::strcmp(argv[i], "--latency-rounds"))
            rounds = std::atoi(argv[i + 1]);
    }

    // The NMEA stream: the three NMEA captures, repeated.
    std::string unit;
    for (const char* f : {"gpsd_hemi.log", "gpsd_polarx2.log", "gpsd_nmea-rtk.log"})
        unit += ReadFile(dir + "/" + f);
    if (unit.empty()) {
        std::fprintf(stderr, "bench_wirra: no captures in %s\n", dir.c_str());
        return 1;
    }
    std::string nmea;
    while (double(nmea.size()) < mb * 1e6)
        nmea += unit;
    char path[] = "/tmp/bench_wirra_nmeaXXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0 || write(fd, nmea.data(), nmea.size()) != ssize_t(nmea.size())) {
        std::fprintf(stderr, "bench_wirra: cannot write the stream file\n");
        return 1;
    }
    close(fd);

    std::uint64_t messages = 0;
    const double ours = TimeOurs(nmea, &messages);
    const double theirs = TimeGpsdecode(path);
    unlink(path);
    const double mbytes = double(nmea.size()) / 1e6;
    std::printf("NMEA stream: %.1f MB, %llu messages\n", mbytes, (unsigned long long)messages);
    std::printf("wirra reader+queue+decoder: %.3f s, %.1f MB/s, %.0f messages/s\n", ours, mbytes / ours,
                double(messages) / ours);
    if (theirs > 0) {
        std::printf("gpsdecode:            %.3f s, %.1f MB/s\n", theirs, mbytes / theirs);
        std::printf("ratio (wirra / gpsdecode throughput): %.1fx (target at least 10x): %s\n", theirs / ours,
                    theirs / ours >= 10 ? "met" : "NOT met");
    } else {
        std::printf("gpsdecode: not available (Debian package gpsd-clients)\n");
    }

    // Binary: the Crescent capture, repeated.
    const std::string cres = ReadFile(dir + "/cres_20080526.bin");
    std::string bin;
    while (!cres.empty() && double(bin.size()) < mb * 1e6)
        bin += cres;
    if (!bin.empty()) {
        std::uint64_t binMessages = 0;
        const double t = TimeOurs(bin, &binMessages);
        std::printf("binary stream: %.1f MB, %llu messages, %.3f s, %.1f MB/s\n", double(bin.size()) / 1e6,
                    (unsigned long long)binMessages, t, double(bin.size()) / 1e6 / t);
    }

    MeasureLatency(rounds);
    return 0;
}
