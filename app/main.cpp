// Stavo: a field tool for GNSS receivers of the Hemisphere/CSI family.

#include "StavoApp.h"
#include "LiveSnapshots.h"

#include "platform/MessageBox.h"

#include "res/Resources.h"

#include <QApplication>

int main(int argc, char** argv)
{
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
