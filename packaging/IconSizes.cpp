// stavo-iconsizes IN OUTDIR: writes OUTDIR/NxN/apps/stavo.png at each of the icon theme's usual
// sizes up to the source's own (a small icon is not enlarged: the desktop scales it as well as we
// could). Runs at build time, so the program's one icon stays the only source.
#include <QDir>
#include <QImage>
#include <QString>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: stavo-iconsizes IN OUTDIR\n");
        return 2;
    }
    const QImage in(QString::fromLocal8Bit(argv[1]));
    if (in.isNull() || in.width() != in.height()) {
        std::fprintf(stderr, "stavo-iconsizes: %s is not a square image\n", argv[1]);
        return 1;
    }
    int written = 0;
    for (int n : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        if (n > in.width())
            break;
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(n);
        const QImage out = n == in.width() ? in : in.scaled(n, n, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (!QDir().mkpath(dir) || !out.save(dir + QStringLiteral("/stavo.png"), "PNG")) {
            std::fprintf(stderr, "stavo-iconsizes: cannot write %s\n", qPrintable(dir));
            return 1;
        }
        ++written;
    }
    if (written == 0) {
        std::fprintf(stderr, "stavo-iconsizes: %s is smaller than 16 pixels\n", argv[1]);
        return 1;
    }
    return 0;
}
