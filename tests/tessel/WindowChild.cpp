// A process with one top-level window titled by its first argument, for the process-list tests.
// Prints "shown" once the window is on the display; ends with exit code 0 when the window is
// asked to close, so that a close request can be told from a termination.

#include <QApplication>
#include <QTimer>
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
    return app.exec();
}
