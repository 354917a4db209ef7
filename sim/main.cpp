// stavo-sim: a simulated GNSS receiver on a pseudo-terminal, for the demo and the tests.
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "CommandLog.h"
#include "PtyPort.h"
#include "SimOptions.h"
#include "SimRunner.h"
#include "SimSettings.h"
#include "power/PowerStandIns.h"

#include <QCoreApplication>
#include <memory>

using namespace stavo::sim;

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int sig)
{
    const char c = sig == SIGUSR1 ? 'S' : sig == SIGUSR2 ? 'R' : 'Q';
    const int saved = errno;
    [[maybe_unused]] ssize_t n = ::write(g_signalPipe[1], &c, 1);
    errno = saved;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::string(argv[1]) == "--version") {
        std::printf("stavo-sim %s\n", STAVO_VERSION);
        return 0;
    }
    const OptionsResult parsed = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) {
        std::fprintf(stderr, "stavo-sim: %s\n%s", parsed.error.c_str(), usageText().c_str());
        return 2;
    }
    const SimOptions &options = *parsed.options;
    if (options.help) {
        std::fputs(usageText().c_str(), stdout);
        return 0;
    }

    SimSettings settings = powerUpSettings(options);

    CommandLog log;
    if (!log.open(options.logPath)) {
        std::fprintf(stderr, "stavo-sim: cannot write the log %s\n", options.logPath.c_str());
        return 1;
    }

    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::perror("stavo-sim: pipe");
        return 1;
    }
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGUSR1, SIGUSR2, SIGTERM, SIGINT, SIGHUP})
        sigaction(sig, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    PtyPort port;
    std::string error;
    if (!port.open(settings.baud, error)) {
        std::fprintf(stderr, "stavo-sim: %s\n", error.c_str());
        return 1;
    }
    // The power stand-ins first: once the link exists, the program may look for them.
    std::unique_ptr<QCoreApplication> qt;
    std::unique_ptr<PowerStandIns> power;
    if (options.powerDriver || options.powerManager) {
        qt = std::make_unique<QCoreApplication>(argc, argv);
        power = std::make_unique<PowerStandIns>(options, port.slavePath(), [](bool on) {
            const char c = on ? 'O' : 'P';
            [[maybe_unused]] ssize_t n = ::write(g_signalPipe[1], &c, 1);
        });
        if (!power->start()) {
            std::fprintf(stderr, "stavo-sim: cannot provide the GPS power stand-ins\n");
            return 1;
        }
    }
    if (!options.linkPath.empty()) {
        ::unlink(options.linkPath.c_str()); // an old link from an earlier run
        if (::symlink(port.slavePath().c_str(), options.linkPath.c_str()) != 0) {
            std::fprintf(stderr, "stavo-sim: cannot link %s: ", options.linkPath.c_str());
            std::perror("");
            return 1;
        }
    }
    std::printf("%s\n", port.slavePath().c_str());
    std::fflush(stdout);

    SimRunner runner(options, settings, port, log);
    const int rc = runner.run(g_signalPipe[0]);
    power.reset(); // the driver and the power manager leave the registry
    if (!options.linkPath.empty())
        ::unlink(options.linkPath.c_str());
    return rc;
}
