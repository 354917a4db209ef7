// Stavo: a field tool for GNSS receivers of the Hemisphere/CSI family.

#include "StavoApp.h"
#include "LiveSnapshots.h"

#include "platform/MessageBox.h"

#include "res/Resources.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

const char kHelp[] =
    "usage: stavo [--help | --version]\n"
    "A field tool for GNSS receivers of the Hemisphere/CSI family (its screens are in Chinese).\n"
    "It talks to the receiver on port 4. The port map $XDG_CONFIG_HOME/stavo/ports.conf\n"
    "(else ~/.config/stavo/ports.conf), lines n=/dev/..., says which device that is;\n"
    "without it, port 4 is /dev/ttyUSB0. stavo-sim(1) is a simulated receiver to try it with.\n"
    "The data folder, the environment variables and an example: see stavo(1).\n"
    "  --help     show this text and exit\n"
    "  --version  show the version and exit\n";

} // namespace

int main(int argc, char** argv)
{
    // The program has no command line apart from these two, answered before anything starts.
    if (argc > 1 && !std::strcmp(argv[1], "--help")) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (argc > 1 && !std::strcmp(argv[1], "--version")) {
        std::printf("stavo %s\n", STAVO_VERSION);
        return 0;
    }
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("stavo"));
    QApplication::setQuitOnLastWindowClosed(false);
    res::RegisterResources();
    stavo::ApplySystemColours();
    platform::InstallEnvironmentResponder();

    CStavoApp app;
    if (!app.InitApplication())
        return 0;
    stavo::LiveSnapshots snapshots; // renders the screen to files when asked to (no display)
    app.InitInstance();
    return 0;
}
