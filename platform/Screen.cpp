#include "Screen.h"

#include <QFile>
#include <QFontDatabase>
#include <QRawFont>
#include <QGuiApplication>
#include <QScreen>
#include <QFontMetricsF>
#include <QStringList>
#include <QWidget>

namespace platform {

namespace {
struct ScreenState {
    int w = 0, h = 0, dpi = 0;
};
ScreenState& state()
{
    static ScreenState s;
    return s;
}

QSize environmentSize()
{
    // On the handheld itself the program owns the real screen.
    if (Screen::isHandheld() && QGuiApplication::primaryScreen())
        return QGuiApplication::primaryScreen()->size();
    const QString v = qEnvironmentVariable("STAVO_SCREEN");
    const QStringList parts = v.split(QLatin1Char('x'));
    if (parts.size() == 2) {
        bool ok1 = false, ok2 = false;
        const int w = parts[0].toInt(&ok1), h = parts[1].toInt(&ok2);
        if (ok1 && ok2 && w >= 160 && h >= 160 && w <= 4096 && h <= 4096)
            return {w, h};
    }
    return {480, 640};
}
} // namespace

bool Screen::isHandheld()
{
    const QString qpa = QGuiApplication::platformName();
    return qpa == QLatin1String("eglfs") || qpa == QLatin1String("linuxfb");
}

int Screen::width() { return state().w ? state().w : environmentSize().width(); }
int Screen::height() { return state().h ? state().h : environmentSize().height(); }
int Screen::dpi() { return state().dpi ? state().dpi : 192; }

void Screen::setSize(int w, int h)
{
    state().w = w;
    state().h = h;
}

void Screen::setDpi(int dpi) { state().dpi = dpi; }

void Screen::reset() { state() = ScreenState{}; }

void Screen::showMaximized(QWidget* w)
{
    if (isHandheld()) {
        w->showFullScreen();
        return;
    }
    w->setFixedSize(width(), height());
    w->show();
}

QString Screen::faceFamily()
{
    // Fixed faces so that every machine renders the same pixels. Wine's Tahoma (Debian's
    // fonts-wine) has the handheld face's widths, so template texts fit their controls as they do
    // there; it is not known to fontconfig and is loaded from its file. Its bold file is not
    // taken: its strokes are no heavier and its letters wider, so bold is made from the regular
    // face. Without it, DejaVu Sans, which is wider. Chinese comes from WenQuanYi Micro Hei.
    static const QString family = [] {
        const QString tahoma = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
        if (QFile::exists(tahoma))
            QFontDatabase::addApplicationFont(tahoma);
        const QStringList families = QFontDatabase::families();
        for (const char* f : {"Tahoma", "DejaVu Sans", "WenQuanYi Micro Hei"})
            if (families.contains(QString::fromLatin1(f)))
                return QString::fromLatin1(f);
        return QStringLiteral("Sans Serif");
    }();
    return family;
}

namespace {
// Em per cell height as the handheld measures a face: the cell is the face's Windows ascent plus
// descent (OS/2 usWinAscent + usWinDescent), whatever ascent the face gives for layout here.
double EmPerCell(const QString& family)
{
    QFont probe(family);
    probe.setPixelSize(100);
    const QRawFont raw = QRawFont::fromFont(probe);
    const QByteArray os2 = raw.fontTable("OS/2");
    const double units = raw.unitsPerEm();
    if (os2.size() >= 78 && units > 0) {
        auto u16 = [&os2](int at) { return (uchar(os2[at]) << 8) | uchar(os2[at + 1]); };
        const int cell = u16(74) + u16(76); // usWinAscent, usWinDescent
        if (cell > 0)
            return units / cell;
    }
    const QFontMetricsF fm(probe);
    const double cell = fm.ascent() + fm.descent();
    return cell > 0 ? 100.0 / cell : 1.0;
}
} // namespace

QFont Screen::font(int pixelHeight, int weight)
{
    QFont f(faceFamily());
    f.setFamilies({faceFamily(), QStringLiteral("WenQuanYi Micro Hei")});
    // The handheld's font heights are cell heights (ascent plus descent); Qt's pixel size is the em.
    static const double emPerCell = EmPerCell(faceFamily());
    f.setPixelSize(std::max(1, int(pixelHeight * emPerCell + 0.5)));
    f.setWeight(QFont::Weight(weight));
    // One rendering everywhere: the handheld's smoothed text (greyscale, no colour fringes).
    f.setStyleStrategy(QFont::NoSubpixelAntialias);
    return f;
}

} // namespace platform

namespace platform {

QFont Screen::pointFont(int pointSize, int weight)
{
    QFont f = font(1, weight);
    f.setPixelSize(std::max(1, (pointSize * dpi() + 36) / 72));
    return f;
}

} // namespace platform
