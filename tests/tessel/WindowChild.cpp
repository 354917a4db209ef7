// A process with one top-level window titled by its first argument, for the process-list tests.
// Prints "shown" once the window is on the display; ends with exit code 0 when the window is
// asked to close, so that a close request can be told from a termination. With "minimized" as its
// second argument it then minimises the window and prints "minimized" once the window manager has
// taken it off the screen.

#include <QApplication>
#include <QTimer>
#include <QWindow>
#include <QWidget>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget w;
    w.setWindowTitle(argc > 1 ? QString::fromUtf8(argv[1]) : QStringLiteral("child"));
    w.resize(200, 100);
    w.show();
    QTimer::singleShot(0, [] {
        std::printf("shown\n");
        std::fflush(stdout);
    });
    QTimer poll;
    if (argc > 2 && QByteArray(argv[2]) == "minimized") {
        // Minimised once it is on the screen, and off it again once the window manager has
        // unmapped it: no longer exposed.
        bool asked = false;
        QObject::connect(&poll, &QTimer::timeout, &w, [&] {
            const bool exposed = w.windowHandle() && w.windowHandle()->isExposed();
            if (!asked && exposed) {
                asked = true;
                w.showMinimized();
            } else if (asked && !exposed) {
                poll.stop();
                std::printf("minimized\n");
                std::fflush(stdout);
            }
        });
        poll.start(50);
    }
    return app.exec();
}
