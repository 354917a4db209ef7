// Icon buttons, bitmap pictures and off-screen drawing: setter results, icon ownership, the drawn
// states on the rendered image (flat, hover and its timer, pressed, check box, disabled, default),
// the link, the pop-up menu, the stretched picture and the one-step copy.

#include "TesselTestSupport.h"

#include <tessel/BitmapPicture.h>
#include <tessel/IconButton.h>
#include <tessel/IconButtonLite.h>
#include <tessel/MemDC.h>
#include <tessel/SysColors.h>

#include <platform/Clock.h>
#include <platform/Controls.h>
#include <platform/Dialog.h>
#include <platform/DialogTemplate.h>
#include <platform/GdiObjects.h>
#include <platform/MenuTemplate.h>

#include <QDesktopServices>
#include <QMenu>
#include <QPicture>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

using namespace platform;
using namespace tesseltest;

namespace {

const Rgb kFace{192, 192, 192};
const Rgb kShadow{128, 128, 128};
const Rgb kHighlight{255, 255, 255};
const Rgb kRed{255, 0, 0};

HICON solidIcon(QColor c, int size = 8)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(c);
    return CreateIconFromImage(img);
}

// The top-left pixel of the first red area, or (-1, -1).
QPoint firstRed(const QImage& img)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (rgbAt(img, x, y) == kRed)
                return {x, y};
    return {-1, -1};
}

constexpr UINT kButtonDialog = 9301;
constexpr int kPlain = 501, kCheck = 502, kDefault = 503;

// A dialog whose three buttons are taken over by icon buttons; it records their commands.
class ButtonDialog : public Dialog {
public:
    ButtonDialog() : Dialog(kButtonDialog) {}
    CIconButton plain, check, def;
    std::vector<WPARAM> commands;
    BOOL OnInitDialog() override
    {
        Dialog::OnInitDialog();
        DDX_Control(kPlain, plain);
        DDX_Control(kCheck, check);
        DDX_Control(kDefault, def);
        return TRUE;
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        commands.push_back(wParam);
        return Dialog::OnCommand(wParam, lParam);
    }
};

void addButtonTemplate()
{
    DialogTemplate t;
    t.id = kButtonDialog;
    t.w = 160;
    t.h = 60;
    t.child = false;
    t.controls = {
        {kPlain, ControlKind::Button, QStringLiteral("AB"), 5, 5, 40, 20, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
        {kCheck, ControlKind::Button, QString(), 50, 5, 40, 20, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX},
        {kDefault, ControlKind::Button, QString(), 95, 5, 40, 20, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
    };
    AddDialogTemplate(t);
}

} // namespace

TEST(IconButton, SetterResults)
{
    CIconButton b;
    COLORREF c = 0;
    struct Case {
        const char* what;
        DWORD result;
        DWORD expected;
    };
    const Case cases[] = {
        {"align 2", b.SetAlign(2), 0},
        {"align 3", b.SetAlign(3), 4},
        {"colour 5", b.SetColor(5, RGB(1, 2, 3)), 0},
        {"colour 6", b.SetColor(6, RGB(1, 2, 3)), 3},
        {"get colour 5", b.GetColor(5, &c), 0},
        {"get colour 6", b.GetColor(6, &c), 3},
        {"flat", b.SetFlat(TRUE), 0},
        {"url", b.SetURL(QString(300, QLatin1Char('x'))), 0},
        {"default colours", b.SetDefaultColors(), 0},
        {"unknown cursor", b.SetBtnCursor(12345), 0},
    };
    for (const Case& k : cases)
        EXPECT_EQ(k.result, k.expected) << k.what;
    EXPECT_EQ(b.Align(), 2); // the refused value changed nothing
    EXPECT_EQ(c, RGB(1, 2, 3));
    EXPECT_EQ(b.GetURL().size(), 260);
    b.GetColor(5, &c);
    EXPECT_EQ(c, tessel::GetSysColor(tessel::COLOR_BTNTEXT)); // back to the defaults
    EXPECT_EQ(b.ButtonType(), 31u);
    CIconButtonLite lite;
    EXPECT_TRUE(lite.IsFlat());
    EXPECT_FALSE(b.IsCheckBox());
}

TEST(IconButton, OwnsItsIconsAndKeepsOneHandedBack)
{
    const int before = LiveIconCount();
    {
        CIconButton b;
        HICON first = solidIcon(Qt::red);
        b.SetIcon(first, QSize(16, 16));
        EXPECT_EQ(b.IconHandle(0), first);
        EXPECT_EQ(b.IconDrawSize(0), QSize(16, 16));
        // The handle it already holds, again: still a live icon, still held.
        b.SetIcon(first, QSize(16, 16));
        EXPECT_TRUE(IsIcon(first));
        EXPECT_EQ(b.IconHandle(0), first);
        // A new set replaces (and destroys) the old one; sizes default to the icon's own.
        HICON in = solidIcon(Qt::blue, 12), out = solidIcon(Qt::green);
        b.SetIcon(in, QSize(), out, QSize(20, 20));
        EXPECT_FALSE(IsIcon(first));
        EXPECT_EQ(b.IconDrawSize(0), QSize(12, 12));
        EXPECT_EQ(b.IconHandle(1), out);
        // A null first icon stores nothing: the held ones are gone.
        b.SetIcon(nullptr, QSize(32, 32));
        EXPECT_EQ(b.IconHandle(0), nullptr);
        EXPECT_FALSE(IsIcon(in));
        // Icons loaded by number: a missing one loads nothing, and leaves nothing behind.
        b.SetIcon(987654, QSize(32, 32), 987655, QSize(32, 32));
        EXPECT_EQ(b.IconHandle(0), nullptr);
        EXPECT_EQ(LiveIconCount(), before);
        b.SetIcon(solidIcon(Qt::red), QSize(8, 8));
    }
    EXPECT_EQ(LiveIconCount(), before) << "the button destroys what it holds";
}

TEST(IconButton, DrawsFlatHoverPressedAndDisabledStates)
{
    Clock::setVirtual(true);
    QWidget window;
    window.resize(200, 100);
    CIconButton b(&window);
    b.setGeometry(10, 10, 60, 40);
    b.SetFlat(TRUE);
    b.SetAlign(CIconButton::ST_ALIGN_VERT);
    b.SetIcon(solidIcon(Qt::red), QSize(8, 8));
    showActive(window);

    // Flat, pointer elsewhere: no border at all, icon centred.
    QImage img = render(b);
    EXPECT_EQ(rgbAt(img, 0, 0), kFace);
    EXPECT_EQ(rgbAt(img, 59, 39), kFace);
    EXPECT_EQ(firstRed(img), QPoint(26, 16));

    // Hover: raised.
    QCursor::setPos(b.mapToGlobal(QPoint(30, 20)));
    QTest::mouseMove(&b, QPoint(30, 20));
    ASSERT_TRUE(b.IsHovering());
    img = render(b);
    EXPECT_EQ(rgbAt(img, 0, 0), kHighlight);
    EXPECT_EQ(rgbAt(img, 0, 20), kHighlight);
    EXPECT_EQ(rgbAt(img, 59, 39), kShadow);
    EXPECT_EQ(rgbAt(img, 30, 39), kShadow);

    // Pressed: sunken, the icon one pixel down and right.
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(30, 20));
    img = render(b);
    EXPECT_EQ(rgbAt(img, 0, 0), kShadow);
    EXPECT_EQ(rgbAt(img, 59, 39), kHighlight);
    EXPECT_EQ(firstRed(img), QPoint(27, 17));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(30, 20));

    // The pointer leaves: the 50 ms timer notices and the border goes.
    QCursor::setPos(window.mapToGlobal(QPoint(150, 80)));
    Clock::advance(40);
    EXPECT_TRUE(b.IsHovering());
    Clock::advance(20);
    QApplication::processEvents();
    EXPECT_FALSE(b.IsHovering());
    EXPECT_EQ(rgbAt(render(b), 0, 0), kFace);

    // Disabled caption: once in the highlight colour, offset, once in the shadow colour; no black.
    b.SetIcon(nullptr, QSize());
    b.setText(QStringLiteral("AB"));
    QFont big = b.font();
    big.setPixelSize(30);
    big.setBold(true);
    b.setFont(big);
    b.setEnabled(false);
    img = render(b);
    EXPECT_GT(countPixels(img, img.rect(), kShadow), 30);
    EXPECT_GT(countPixels(img, img.rect(), kHighlight), 30);
    EXPECT_EQ(countPixels(img, img.rect(), Rgb{0, 0, 0}), 0);
    Clock::setVirtual(false);
}

TEST(IconButton, TakesOverDialogButtonsByStyle)
{
    addButtonTemplate();
    ButtonDialog d;
    d.Create(kButtonDialog, nullptr);
    showActive(d);
    // Every style becomes owner-drawn; the check box and the default button keep their meaning.
    for (CIconButton* b : {&d.plain, &d.check, &d.def})
        EXPECT_EQ(GetStyle(b) & 0x1F, 0x0Bu);
    EXPECT_TRUE(d.check.IsCheckBox());
    EXPECT_FALSE(d.plain.IsCheckBox());
    EXPECT_TRUE(d.def.GetDefault());
    EXPECT_EQ(d.def.OnGetDlgCode() & 0x30, 0x10u);
    EXPECT_EQ(d.plain.OnGetDlgCode() & 0x30, 0x20u);
    d.def.SendMessage(CIconButton::BM_SETSTYLE, BS_PUSHBUTTON, 0);
    EXPECT_FALSE(d.def.GetDefault());
    d.def.SendMessage(CIconButton::BM_SETSTYLE, BS_DEFPUSHBUTTON, 0);

    // A button that is not flat carries a black frame while it is the default or has the focus.
    d.check.setFocus();
    EXPECT_EQ(rgbAt(render(d.def), 0, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(rgbAt(render(d.plain), 0, 0), kHighlight);
    d.plain.setFocus();
    EXPECT_EQ(rgbAt(render(d.plain), 0, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(rgbAt(render(d.plain), 1, 1), kHighlight);

    // A tap on the check box ticks it, draws it sunken and still reaches the dialog.
    QTest::mouseClick(&d.check, Qt::LeftButton);
    EXPECT_EQ(d.check.GetCheck(), 1);
    EXPECT_EQ(rgbAt(render(d.check), 1, 1), kShadow);
    ASSERT_FALSE(d.commands.empty());
    EXPECT_EQ(d.commands.back(), WPARAM(MAKELONG(kCheck, BN_CLICKED)));
    QTest::mouseClick(&d.check, Qt::LeftButton);
    EXPECT_EQ(d.check.GetCheck(), 0);
    d.check.SetCheck(5);
    EXPECT_EQ(d.check.GetCheck(), 1);
    d.plain.SetCheck(1); // only in check-box mode
    EXPECT_EQ(d.plain.GetCheck(), 0);
    d.check.FreeResources();
    EXPECT_FALSE(d.check.IsCheckBox());
}

TEST(IconButton, OnlyCheckBoxStylesToggleAndOnlyTheDefaultStyleIsDefault)
{
    // Templates often declare a button owner-drawn already; radio and three-state styles share bits with the
    // check box and default styles without being either.
    struct Case {
        DWORD style;
        bool checkBox;
        bool isDefault;
    };
    const Case cases[] = {
        {BS_PUSHBUTTON, false, false}, {BS_DEFPUSHBUTTON, false, true}, {BS_CHECKBOX, true, false},
        {BS_AUTOCHECKBOX, true, false}, {0x5 /* three-state */, true, false}, {0x6 /* auto three-state */, true, false},
        {BS_RADIOBUTTON, false, false}, {BS_AUTORADIOBUTTON, false, false}, {0xB /* owner-drawn */, false, false},
    };
    constexpr UINT kStyles = 9302;
    DialogTemplate t;
    t.id = kStyles;
    t.w = 160;
    t.h = 30;
    t.child = false;
    for (std::size_t i = 0; i < std::size(cases); ++i)
        t.controls.push_back({int(600 + i), ControlKind::Button, QString(), int(2 + 17 * i), 5, 15, 15,
                              WS_VISIBLE | WS_TABSTOP | cases[i].style});
    AddDialogTemplate(t);
    struct Styles : Dialog {
        Styles() : Dialog(kStyles) {}
        CIconButton buttons[std::size(cases)];
        BOOL OnInitDialog() override
        {
            Dialog::OnInitDialog();
            for (std::size_t i = 0; i < std::size(buttons); ++i)
                DDX_Control(int(600 + i), buttons[i]);
            return TRUE;
        }
    } d;
    d.Create(kStyles, nullptr);
    showActive(d);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        CIconButton& b = d.buttons[i];
        QTest::mouseClick(&b, Qt::LeftButton);
        EXPECT_EQ(b.IsCheckBox(), cases[i].checkBox) << "style " << cases[i].style;
        EXPECT_EQ(b.GetCheck(), cases[i].checkBox ? 1 : 0) << "style " << cases[i].style << " after a tap";
        EXPECT_EQ(b.GetDefault() != FALSE, cases[i].isDefault) << "style " << cases[i].style;
    }
}

TEST(IconButton, OpensItsLinkThroughTheDesktop)
{
    // A browser widget stands in for the desktop's handler of https links.
    QTextBrowser handler;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &handler, "setSource");
    QWidget window;
    CIconButton b(&window);
    b.setGeometry(0, 0, 50, 30);
    b.SetURL(L"https://example.invalid/stavo");
    showActive(window);
    QTest::mouseClick(&b, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    EXPECT_EQ(handler.source(), QUrl(QStringLiteral("https://example.invalid/stavo")));
}

TEST(IconButton, PopUpMenuSendsTheChosenCommand)
{
    AddMenuTemplate(9401, {{101, QStringLiteral("甲")}, {0, QString()}, {102, QStringLiteral("乙")}});
    struct Owner : QWidget, Window {
        Owner() : Window(this) {}
        std::vector<WPARAM> commands;
        LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override
        {
            if (m == WM_COMMAND)
                commands.push_back(w);
            return Window::WindowProc(m, w, l);
        }
    } owner;
    owner.resize(200, 200);
    CIconButton b(&owner);
    b.setGeometry(0, 0, 60, 30);
    b.SetMenu(9401, &owner);
    b.vModifyMenu(102, QStringLiteral("丙"));
    b.vInsertMenu(0, 100, QStringLiteral("首"));
    showActive(owner);
    QStringList shown;
    // The menu runs its own loop: choose the third command with the keys once it is up.
    QTimer::singleShot(50, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* a : menu->actions())
            shown << a->text();
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QTest::mouseClick(&b, Qt::LeftButton);
    EXPECT_EQ(shown, (QStringList{QStringLiteral("首"), QStringLiteral("甲"), QString(), QStringLiteral("丙")}));
    EXPECT_EQ(b.strGetSelectedMenu(), QStringLiteral("丙"));
    ASSERT_FALSE(owner.commands.empty());
    EXPECT_EQ(owner.commands.front(), WPARAM(102));
}

TEST(BitmapPicture, StretchesItsBitmapWithCaptionOrShowsOnlyTheBackground)
{
    QWidget window;
    CBitmapPicture pic(&window);
    pic.setGeometry(0, 0, 100, 50);
    showActive(window);
    QImage img = render(pic);
    EXPECT_EQ(countPixels(img, img.rect(), kFace), 100 * 50);

    // Left half red, right half blue, last column green: the last column and row are not shown.
    QImage bmp(11, 11, QImage::Format_RGB32);
    bmp.fill(Qt::blue);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 5; ++x)
            bmp.setPixel(x, y, qRgb(255, 0, 0));
    for (int y = 0; y < 11; ++y)
        bmp.setPixel(10, y, qRgb(0, 255, 0));
    HBITMAP h = CreateBitmapFromImage(bmp);
    EXPECT_TRUE(pic.SetBitmap(h));
    EXPECT_TRUE(pic.SetBitmap(h)); // the same handle again stays alive
    EXPECT_TRUE(IsBitmap(h));
    img = render(pic);
    EXPECT_EQ(rgbAt(img, 10, 25), kRed);
    EXPECT_EQ(rgbAt(img, 90, 25), (Rgb{0, 0, 255}));
    EXPECT_EQ(countPixels(img, img.rect(), Rgb{0, 255, 0}), 0);

    EXPECT_FALSE(pic.SetBitmap(0u, QString())) << "unchanged id and text";
    EXPECT_FALSE(pic.SetBitmap(987654u, QStringLiteral("x"))) << "a resource that does not load";
    EXPECT_EQ(pic.GetBitmap(), h);
    EXPECT_EQ(pic.GetBmpID(), 0u);
}

TEST(MemDC, CollectsTheDrawingAndCopiesItInOneStep)
{
    QImage target(60, 40, QImage::Format_RGB32);
    target.fill(Qt::black);
    {
        QPainter p(&target);
        p.setBackground(QColor(0, 255, 0));
        p.setClipRect(QRect(10, 10, 20, 20));
        CMemDC mem(&p);
        ASSERT_TRUE(mem.IsOffScreen());
        EXPECT_EQ(mem.Rect(), QRect(10, 10, 20, 20));
        mem->fillRect(QRect(10, 10, 10, 20), Qt::red);
        EXPECT_EQ(rgbAt(target, 12, 12), (Rgb{0, 0, 0})) << "nothing reaches the target before the copy";
    }
    EXPECT_EQ(rgbAt(target, 12, 12), kRed);
    EXPECT_EQ(rgbAt(target, 25, 12), (Rgb{0, 255, 0})) << "cleared to the target's background";
    EXPECT_EQ(rgbAt(target, 5, 5), (Rgb{0, 0, 0})) << "outside the clip box";

    // A recording takes the drawing as it comes.
    QPicture picture;
    QPainter rec(&picture);
    {
        CMemDC mem(&rec, QRect(0, 0, 10, 10));
        EXPECT_FALSE(mem.IsOffScreen());
        EXPECT_EQ(mem.operator->(), &rec);
    }
    rec.end();
}
