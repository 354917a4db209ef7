#pragma once
// Metrics of the handheld screen the program runs on: the real screen on the handheld (eglfs or
// linuxfb); on a desktop a simulated handheld of 480 x 640 pixels at 192 dpi (the VGA handheld the
// dialog templates were drawn for), or the size given as STAVO_SCREEN=WxH; tests set it directly.

#include <QFont>
#include <QSize>

class QWidget;

namespace platform {

class Screen {
public:
    // True when the program runs on the handheld's own screen rather than in a desktop window.
    static bool isHandheld();
    static int width();
    static int height();
    static int dpi();
    static void setSize(int w, int h);
    static void setDpi(int dpi);
    // Drops settings made by setSize/setDpi (back to the environment or the default).
    static void reset();
    // Shows a window maximised: full screen on the handheld; on a desktop, a window fixed to the
    // simulated screen's size, which it fills.
    static void showMaximized(QWidget* w);

    // The face that stands in for the handheld's faces ("MS Shell Dlg", "Tahoma", "system"): Wine's
    // Tahoma (else a sans-serif face) with a Chinese fallback, the same on every machine, smoothed.
    // The height is the character cell's (the face's Windows ascent plus descent), as the handheld
    // measures font heights.
    static QFont font(int pixelHeight, int weight = 400);
    // A font of a point size at the screen's dpi (the templates' fonts: 9 points is 24 pixels of em
    // at 192 dpi).
    static QFont pointFont(int pointSize, int weight = 400);
    static QString faceFamily();
};

} // namespace platform
