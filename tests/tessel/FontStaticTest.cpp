// Static texts: taps swallowed, own font, colours and alignment on the painted pixels, flashing on
// the virtual clock.

#include "TesselTestSupport.h"

#include <tessel/FontStatic.h>
#include <tessel/SysColors.h>

#include <platform/Clock.h>
#include <platform/Controls.h>
#include <platform/Dialog.h>
#include <platform/DialogTemplate.h>
#include <platform/Screen.h>

#include <QMouseEvent>

#include <limits>

#include <gtest/gtest.h>

using namespace platform;
using namespace tesseltest;

namespace {

// Columns holding at least one pixel of the colour: first and last.
std::pair<int, int> inkColumns(const QImage& img, Rgb colour)
{
    int first = -1, last = -1;
    for (int x = 0; x < img.width(); ++x)
        for (int y = 0; y < img.height(); ++y)
            if (rgbAt(img, x, y) == colour) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
    return {first, last};
}

class PressRecorder : public QWidget {
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
};

} // namespace

TEST(MyStatic, SwallowsTaps)
{
    PressRecorder parent;
    parent.resize(200, 100);
    CMyStatic swallowing(&parent);
    swallowing.setGeometry(0, 0, 100, 50);
    swallowing.setText(QStringLiteral("N:"));
    QLabel plain(&parent);
    plain.setGeometry(100, 0, 100, 50);
    parent.show();
    QTest::mouseClick(&plain, Qt::LeftButton);
    EXPECT_EQ(parent.presses, 1) << "an ordinary label passes the press on";
    QTest::mouseClick(&swallowing, Qt::LeftButton);
    EXPECT_EQ(parent.presses, 1);
    EXPECT_EQ(GetClassName(&swallowing), QStringLiteral("Static"));
}

TEST(FontStatic, DefaultsAndStyleFlags)
{
    CFontStatic st;
    EXPECT_EQ(st.FontSize(), 13);
    EXPECT_EQ(st.FontWidth(), 0);
    EXPECT_EQ(st.FaceName(), QStringLiteral("Tahoma"));
    EXPECT_EQ(st.Foreground(), 0u);
    EXPECT_FALSE(st.HasBackground());
    EXPECT_EQ(st.Background(), tessel::GetSysColor(tessel::COLOR_STATIC));
    EXPECT_EQ(st.TextAlignment(), Qt::AlignLeft);

    st.SetAlignment(FS_RIGHT);
    for (int style : {1, 2, 3, 4, 5})
        st.SetFontStyle(style);
    EXPECT_TRUE(st.IsBold() && st.IsItalic() && st.IsUnderline() && st.IsStrikeOut() && st.IsSmooth());
    EXPECT_EQ(st.TextAlignment(), Qt::AlignRight) << "styles leave the alignment alone";
    const QFont f = st.PaintFont();
    EXPECT_EQ(f.weight(), QFont::Bold);
    EXPECT_TRUE(f.italic() && f.underline() && f.strikeOut());
    for (int other : {0, 6, -1}) {
        st.SetFontStyle(FS_BOLD);
        st.SetAlignment(FS_CENTER);
        st.SetFontStyle(other);
        EXPECT_FALSE(st.IsBold() || st.IsItalic() || st.IsUnderline() || st.IsStrikeOut() || st.IsSmooth()) << other;
        EXPECT_EQ(st.TextAlignment(), Qt::AlignLeft) << other;
    }
    st.SetFontStatic(QStringLiteral("Arial"), 28, RGB(1, 2, 3), FS_ITALIC);
    EXPECT_EQ(st.FaceName(), QStringLiteral("Arial"));
    EXPECT_EQ(st.FontSize(), 28);
    EXPECT_EQ(st.Foreground(), RGB(1, 2, 3));
    EXPECT_TRUE(st.IsItalic());
    EXPECT_EQ(st.PaintFont().pixelSize(), Screen::font(28).pixelSize()) << "the size is the platform's height";
}

TEST(FontStatic, FontHeightsAsTheHandheldReadsThem)
{
    const int cell20 = Screen::font(20).pixelSize();
    const int cellDefault = Screen::font(CFontStatic::kDefaultFontSize).pixelSize();
    const int cellMax = Screen::font(CFontStatic::kMaxFontSize).pixelSize();
    struct Case {
        int size;
        int pixelSize; // Qt's pixel size is the em
    };
    const Case cases[] = {
        {20, cell20},                             // positive: cell height
        {-20, 20},                                // negative: character (em) height
        {0, cellDefault},                         // 0: the default height, not one pixel
        {std::numeric_limits<int>::max(), cellMax},
        {std::numeric_limits<int>::min(), CFontStatic::kMaxFontSize},
    };
    for (const Case& c : cases) {
        CFontStatic st;
        st.SetFontSize(c.size);
        EXPECT_EQ(st.PaintFont().pixelSize(), c.pixelSize) << c.size;
    }
    ASSERT_NE(cell20, 20) << "the face's cell and em differ, so the cases above tell them apart";

    // A width far past any face's still gives the widest stretch, not a wrapped one.
    CFontStatic wide;
    wide.SetFontWidth(std::numeric_limits<int>::max());
    EXPECT_EQ(wide.PaintFont().stretch(), 4000);
}

TEST(FontStatic, AlignmentOnThePaintedText)
{
    struct Case {
        std::function<void(CFontStatic&)> set;
        const char* name;
        int expectFirstMax, expectLastMin; // bounds on the ink's first and last columns
        bool centred;
    };
    const Case cases[] = {
        {[](CFontStatic& s) { s.SetAlignment(FS_LEFT); }, "left", 3, 0, false},
        {[](CFontStatic& s) { s.SetAlignment(FS_RIGHT); }, "right", 400, 293, false},
        {[](CFontStatic& s) { s.SetAlignment(FS_CENTER); }, "centre", 400, 0, true},
        {[](CFontStatic& s) { s.SetAlignment(7); }, "other value", 3, 0, false},
        {[](CFontStatic& s) { s.SetAlignment(FS_CENTER); s.SetFontStyle(0); }, "style 0 after centre", 3, 0, false},
    };
    for (const Case& c : cases) {
        CFontStatic st;
        st.resize(300, 40);
        st.setText(QStringLiteral("EEE"));
        st.SetFontSize(24);
        st.SetForeground(255, 0, 0);
        c.set(st);
        const QImage img = render(st);
        const auto [first, last] = inkColumns(img, {255, 0, 0});
        ASSERT_GE(first, 0) << c.name;
        EXPECT_LE(first, c.expectFirstMax) << c.name;
        EXPECT_GE(last, c.expectLastMin) << c.name;
        if (c.centred) {
            EXPECT_NEAR((first + last) / 2.0, 150.0, 3.0) << c.name;
        } else if (c.expectLastMin == 0) {
            EXPECT_LT(last, 100) << c.name;
        }
    }
}

TEST(FontStatic, ColoursShowAtTheNextPaint)
{
    CFontStatic st;
    st.resize(200, 40);
    st.setText(QStringLiteral("1234.567"));
    st.SetFontSize(28);
    QImage img = render(st);
    EXPECT_EQ(rgbAt(img, 199, 39), (Rgb{192, 192, 192})) << "static background of the scheme";
    EXPECT_GT(countPixels(img, img.rect(), {0, 0, 0}), 20) << "black text by default";

    st.SetForeground(255, 0, 0);
    img = render(st);
    EXPECT_GT(countPixels(img, img.rect(), {255, 0, 0}), 20);
    EXPECT_EQ(countPixels(img, img.rect(), {0, 0, 0}), 0);

    st.SetBackground(0, 0, 255);
    EXPECT_TRUE(st.HasBackground());
    img = render(st);
    EXPECT_EQ(rgbAt(img, 199, 39), (Rgb{0, 0, 255}));
    EXPECT_EQ(rgbAt(img, 0, 0), (Rgb{0, 0, 255}));

    // Bold draws heavier strokes of the same text: more pixels inked (smoothed text: any that are
    // not the background).
    auto ink = [](const QImage& i) { return i.width() * i.height() - countPixels(i, i.rect(), {0, 0, 255}); };
    const int normalInk = ink(img);
    st.SetFontStyle(FS_BOLD);
    img = render(st);
    EXPECT_GT(ink(img), normalInk);
}

TEST(FontStatic, WidthStretchesTheText)
{
    CFontStatic st;
    st.resize(400, 40);
    st.setText(QStringLiteral("8888"));
    st.SetFontSize(24);
    const auto narrow = inkColumns(render(st), {0, 0, 0});
    st.SetFontWidth(QFontMetrics(st.PaintFont()).averageCharWidth() * 2);
    const auto wide = inkColumns(render(st), {0, 0, 0});
    EXPECT_GT(wide.second - wide.first, (narrow.second - narrow.first) * 3 / 2);
}

TEST(FontStatic, BindingAddsTheNotifyStyle)
{
    DialogTemplate t;
    t.id = 9204;
    t.w = 100;
    t.h = 40;
    t.controls = {{1015, ControlKind::Static, QStringLiteral("Pos Status"), 4, 4, 90, 8, WS_VISIBLE | SS_RIGHT}};
    AddDialogTemplate(t);
    struct Host : Dialog {
        Host() : Dialog(9204) {}
        CFontStatic status;
        void DoDataExchange(bool) override { DDX_Control(1015, status); }
    } host;
    host.Create(9204, nullptr);
    EXPECT_EQ(GetStyle(&host.status), DWORD(WS_VISIBLE | SS_RIGHT | SS_NOTIFY));
    EXPECT_EQ(host.status.text(), QStringLiteral("Pos Status"));
    EXPECT_EQ(host.GetDlgItem(1015), &host.status);
}

TEST(FontStatic, FlashingAlternatesEverySecond)
{
    Clock::setVirtual(true);
    {
        CFontStatic st;
        st.setText(QStringLiteral("RTK固定解"));
        st.FlashText(TRUE);
        EXPECT_TRUE(st.HasTimer(CFontStatic::kFlashTimer));
        const QString seen[] = {QString(), QStringLiteral("RTK固定解"), QString(), QStringLiteral("RTK固定解")};
        Clock::advance(999);
        EXPECT_EQ(st.text(), QStringLiteral("RTK固定解"));
        Clock::advance(1);
        EXPECT_EQ(st.text(), seen[0]);
        for (int i = 1; i < 4; ++i) {
            Clock::advance(1000);
            EXPECT_EQ(st.text(), seen[i]) << i;
        }
        // Asked to flash again while blank: the text is not lost.
        Clock::advance(1000);
        ASSERT_EQ(st.text(), QString());
        st.FlashText(TRUE);
        st.FlashText(FALSE);
        EXPECT_EQ(st.text(), QStringLiteral("RTK固定解"));
        EXPECT_FALSE(st.HasTimer(CFontStatic::kFlashTimer));
        Clock::advance(5000);
        EXPECT_EQ(st.text(), QStringLiteral("RTK固定解"));

        // Stopping when not flashing leaves a newer text alone.
        st.setText(QStringLiteral("单点定位"));
        st.FlashText(FALSE);
        EXPECT_EQ(st.text(), QStringLiteral("单点定位"));
    }
    Clock::setVirtual(false);
}
