#pragma once
// Shared pieces of the Tessel tests: templates, a recording page, pixel access, whole files.

#include <tessel/MyDialog.h>

#include <platform/DialogTemplate.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tesseltest {

constexpr platform::UINT kPageTemplate = 9201; // an empty child page

inline void addPageTemplate()
{
    platform::DialogTemplate t;
    t.id = kPageTemplate;
    t.w = 160;
    t.h = 120;
    t.child = true;
    platform::AddDialogTemplate(t);
}

// Messages seen by windows under test, in the order they arrived.
inline std::vector<std::string>& messageLog()
{
    static std::vector<std::string> log;
    return log;
}

// A page that records the page-changed notification under its name.
class RecordingPage : public CMyDialog {
public:
    explicit RecordingPage(std::string name) : CMyDialog(kPageTemplate, nullptr, platform::FALSE), m_name(std::move(name)) {}
    platform::LRESULT WindowProc(platform::UINT m, platform::WPARAM w, platform::LPARAM l) override
    {
        if (m == platform::WM_APP + 0x3EC)
            messageLog().push_back(m_name);
        return CMyDialog::WindowProc(m, w, l);
    }
    std::string m_name;
};

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

inline Rgb rgbAt(const QImage& img, int x, int y)
{
    const QRgb p = img.pixel(x, y);
    return {qRed(p), qGreen(p), qBlue(p)};
}

inline Rgb rgbOf(platform::COLORREF c) { return {platform::GetRValue(c), platform::GetGValue(c), platform::GetBValue(c)}; }

inline int countPixels(const QImage& img, const QRect& area, Rgb colour)
{
    int n = 0;
    const QRect r = area.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (rgbAt(img, x, y) == colour)
                ++n;
    return n;
}

inline QImage render(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }

// A file's bytes; "<missing>" when it does not open.
inline QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

inline void showActive(QWidget& w)
{
    w.show();
    w.activateWindow();
    QApplication::setActiveWindow(&w);
    (void)QTest::qWaitForWindowActive(&w);
}

// Beside Rgb, so that the test framework finds it and failures print 224/255/255, not raw bytes.
inline std::ostream& operator<<(std::ostream& os, const Rgb& c) { return os << c.r << '/' << c.g << '/' << c.b; }

} // namespace tesseltest
