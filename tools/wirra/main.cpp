// stavo-decode [FILE|DEVICE [--baud N] [--seconds S] [--send COMMAND]...]
// Decodes a receiver capture (a file, or standard input without FILE) or a live serial device, one
// JSON line per message, then a summary line with counts and dropped bytes. A device is read until
// SIGINT/SIGTERM or for S seconds; each --send COMMAND (e.g. '$JSHOW') is written to it first, with
// CR LF appended, waiting for each to leave the line before the next.

#include "MessagePrinter.h"
#include "TrimblePort.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <sys/stat.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <chrono>
#include <string>
#include <vector>

namespace {

volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

class PrintSink : public wirra::FrameSink {
public:
    explicit PrintSink(MessagePrinter& p) : m_printer(p) {}
    void OnFrame(int type, unsigned id, const char* bytes, std::size_t n) override
    {
        // The printer decodes text as C strings: give it a NUL-terminated copy.
        m_copy.assign(bytes, n);
        m_printer.Print(type, id, m_copy.c_str(), int(n));
    }

private:
    MessagePrinter& m_printer;
    std::string m_copy;
};

const char kHelp[] =
    "usage: stavo-decode [FILE|DEVICE [--baud N] [--seconds S] [--send COMMAND]...]\n"
    "Decodes receiver messages (Hemisphere/CSI binary messages and NMEA sentences) from a\n"
    "capture FILE, from standard input without FILE, or live from a serial DEVICE, and\n"
    "prints one JSON line per message, then a summary line.\n"
    "  --baud N         the device's baud rate (default 9600)\n"
    "  --seconds S      read the device for S seconds (default: until SIGINT or SIGTERM)\n"
    "  --send COMMAND   write COMMAND and CR LF to the device first (may be repeated)\n"
    "  --help           show this text and exit\n"
    "  --version        show the version and exit\n";

int Usage()
{
    std::fprintf(stderr, "usage: stavo-decode [FILE|DEVICE [--baud N] [--seconds S] [--send COMMAND]...]\n");
    return 2;
}

int DecodeStream(std::FILE* in, MessagePrinter& printer)
{
    PrintSink sink(printer);
    wirra::Framer framer(sink);
    char buf[65536];
    std::size_t r;
    while ((r = std::fread(buf, 1, sizeof buf, in)) > 0)
        framer.Feed(buf, r, 0);
    framer.Finish();
    printer.PrintSummary(framer.Stats(), 0);
    return std::ferror(in) ? 1 : 0;
}

int DecodeDevice(int argc, char** argv, const char* path, unsigned baud, double seconds,
                 const std::vector<std::string>& commands, MessagePrinter& printer)
{
    QCoreApplication app(argc, argv);
    CTrimblePort port;
    // The path as given, relative to the working folder (the serial library would look a relative
    // path up under /dev).
    const QString device = QFileInfo(QString::fromLocal8Bit(path)).absoluteFilePath();
    if (!port.bOpenDevice(nullptr, device, baud)) {
        std::fprintf(stderr, "stavo-decode: cannot open %s at %u baud: %s\n", path, baud, qPrintable(port.OpenFailure()));
        return 1;
    }
    for (const std::string& c : commands) {
        port.vWriteToPort(QString::fromLatin1(c + "\r\n"), 0, 0);
        if (!port.bWaitWriteBufferEmpty())
            std::fprintf(stderr, "stavo-decode: %s did not leave the line\n", c.c_str());
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    const auto start = std::chrono::steady_clock::now();
    while (!g_stop) {
        if (seconds > 0
            && std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >= seconds)
            break;
        if (!port.m_out.WaitForMessage(100)) {
            if (port.IsHungUp()) {
                std::fprintf(stderr, "stavo-decode: %s hung up\n", path);
                break;
            }
            continue;
        }
        while (port.m_out.Read() == 1)
            printer.Print(port.m_out.Current().Type(), port.m_out.Current().Id(), port.pCurrentMessage(),
                          port.nCurrentLength());
        std::fflush(stdout);
    }
    const std::uint64_t discarded = port.m_out.Discarded();
    const wirra::FramerStats stats = port.Stats();
    port.vClosePort();
    printer.PrintSummary(stats, discarded);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && !std::strcmp(argv[1], "--help")) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (argc > 1 && !std::strcmp(argv[1], "--version")) {
        std::printf("stavo-decode %s\n", STAVO_VERSION);
        return 0;
    }
    const char* path = nullptr;
    unsigned baud = 0;
    double seconds = 0;
    std::vector<std::string> commands;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--baud") == 0 && i + 1 < argc) {
            baud = unsigned(std::strtoul(argv[++i], nullptr, 10));
            if (baud == 0)
                return Usage();
        } else if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            seconds = std::strtod(argv[++i], nullptr);
        } else if (std::strcmp(argv[i], "--send") == 0 && i + 1 < argc) {
            commands.emplace_back(argv[++i]);
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            return Usage();
        } else if (!path) {
            path = argv[i];
        } else {
            return Usage();
        }
    }
    MessagePrinter printer(stdout);
    if (!path)
        return DecodeStream(stdin, printer);
    struct stat st {};
    if (::stat(path, &st) != 0) {
        std::fprintf(stderr, "stavo-decode: %s: %s\n", path, std::strerror(errno));
        return 1;
    }
    if (S_ISCHR(st.st_mode))
        return DecodeDevice(argc, argv, path, baud ? baud : 9600, seconds, commands, printer);
    if (!commands.empty())
        return Usage(); // nothing to send to a file
    std::FILE* in = std::fopen(path, "rb");
    if (!in) {
        std::fprintf(stderr, "stavo-decode: %s: %s\n", path, std::strerror(errno));
        return 1;
    }
    const int rc = DecodeStream(in, printer);
    std::fclose(in);
    return rc;
}
