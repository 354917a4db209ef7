#include "Screen.h"

#include <QFontDatabase>
#include <QStringList>

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

QString Screen::faceFamily()
{
    // Fixed faces so that every machine renders the same pixels: DejaVu Sans for Latin text,
    // WenQuanYi Micro Hei for Chinese.
    static const QString family = [] {
        const QStringList families = QFontDatabase::families();
        for (const char* f : {"DejaVu Sans", "WenQuanYi Micro Hei"})
            if (families.contains(QString::fromLatin1(f)))
                return QString::fromLatin1(f);
        return QStringLiteral("Sans Serif");
    }();
    return family;
}

QFont Screen::font(int pixelHeight, int weight)
{
    QFont f(faceFamily());
    f.setFamilies({faceFamily(), QStringLiteral("WenQuanYi Micro Hei")});
    f.setPixelSize(std::max(1, pixelHeight));
    f.setWeight(QFont::Weight(weight));
    f.setStyleStrategy(QFont::NoSubpixelAntialias);
    return f;
}

} // namespace platform
