// The page tab control built as the main window builds it: page ownership, switching by tap, key
// and message, the page-changed notification order, colours at the painted pixels, scrolling.

#include "TesselTestSupport.h"

#include <tessel/MyTabCtrl.h>
#include <tessel/SysColors.h>

#include <platform/Controls.h>
#include <platform/Dialog.h>
#include <platform/DialogTemplate.h>

#include <QPointer>

#include <limits>

#include <gtest/gtest.h>

using namespace platform;
using namespace tesseltest;

namespace {

constexpr UINT kMainTemplate = 9203;

void addMainTemplate()
{
    DialogTemplate t;
    t.id = kMainTemplate;
    t.w = 162;
    t.h = 180;
    t.child = false;
    t.controls = {
        {1000, ControlKind::TabControl, {}, 0, 0, 162, 148, WS_VISIBLE | WS_TABSTOP},
        {1003, ControlKind::Static, QStringLiteral("--"), 17, 148, 73, 8, WS_VISIBLE},
    };
    AddDialogTemplate(t);
}

// A main window in miniature: binds the tab control and records the notification.
class MainWindow : public Dialog {
public:
    MainWindow() : Dialog(kMainTemplate) {}
    CMyTabCtrl m_tab;
    DWORD styleAtBinding = 0;
    void DoDataExchange(bool) override
    {
        DDX_Control(1000, m_tab);
        styleAtBinding = m_tab.GetStyle();
    }
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override
    {
        if (m == WM_TAB_PAGE_CHANGED)
            messageLog().push_back("parent");
        return Dialog::WindowProc(m, w, l);
    }
    void build(const QStringList& captions, int pageCount)
    {
        Create(kMainTemplate, nullptr);
        setGeometry(0, 0, 480, 640);
        m_tab.setGeometry(0, 0, 480, 440);
        m_tab.vRemoveAllDlg();
        m_tab.DeleteAllItems();
        m_tab.m_pages.SetSize(pageCount);
        for (int i = 0; i < captions.size(); ++i)
            m_tab.InsertItem(i, captions[i]);
        for (int i = 0; i < pageCount; ++i)
            m_tab.m_pages[i] = new RecordingPage("page" + std::to_string(i));
        m_tab.m_nCurPage = 0;
        for (int i = 0; i < pageCount; ++i) {
            auto* p = m_tab.PageAt(i);
            p->Create(kPageTemplate, &m_tab);
            p->setGeometry(m_tab.rect());
        }
        for (int i = 0; i < pageCount; ++i)
            m_tab.PageAt(i)->setVisible(i == 0);
        m_tab.EnableDraw(2);
        m_tab.EnableCustomLook(TRUE, 0x1F);
        m_tab.SetRectangle();
    }
};

const QStringList kSix = {QStringLiteral("接收机状态"), QStringLiteral("星空图|信噪比"), QStringLiteral("卫星状态"),
                          QStringLiteral("命令设置"),   QStringLiteral("连接CORS"),      QStringLiteral("选 项")};
const QStringList kThree = {QStringLiteral("GPS"), QStringLiteral("SNR"), QStringLiteral("CORS")};

class TabControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        addPageTemplate();
        addMainTemplate();
        messageLog().clear();
    }
    void build(const QStringList& captions, int pages)
    {
        main.build(captions, pages);
        showActive(main);
        QCoreApplication::sendPostedEvents();
        messageLog().clear();
    }
    QPoint centreOf(int tab)
    {
        QRect r;
        EXPECT_TRUE(main.m_tab.GetItemRect(tab, &r));
        return r.center();
    }
    void tap(int tab) { QTest::mouseClick(&main.m_tab, Qt::LeftButton, {}, centreOf(tab)); }
    int visiblePages()
    {
        int n = 0;
        for (int i = 0; i < main.m_tab.m_pages.GetSize(); ++i)
            if (main.m_tab.PageAt(i) && !main.m_tab.PageAt(i)->isHidden())
                ++n;
        return n;
    }
    MainWindow main;
    CMyTabCtrl& tabs = main.m_tab;
};

} // namespace

TEST_F(TabControl, BindingAddsOwnerDrawAndEnableDrawRemovesIt)
{
    build(kThree, 3);
    EXPECT_TRUE(main.styleAtBinding & TCS_OWNERDRAWFIXED);
    EXPECT_EQ(tabs.ClassName(), QStringLiteral("SysTabControl32"));
    struct Case {
        int type;
        BOOL result;
        bool ownerDrawAfter;
    };
    const Case cases[] = {{-1, FALSE, true}, {3, FALSE, true}, {100, FALSE, true}, {0, TRUE, false},
                          {1, TRUE, false},  {2, TRUE, false}};
    for (const Case& c : cases) {
        tabs.ModifyStyle(0, TCS_OWNERDRAWFIXED);
        EXPECT_EQ(tabs.EnableDraw(c.type), c.result) << c.type;
        EXPECT_EQ(bool(tabs.GetStyle() & TCS_OWNERDRAWFIXED), c.ownerDrawAfter) << c.type;
    }
}

TEST_F(TabControl, SetRectanglePutsThePagesUnderTheTabs)
{
    build(kThree, 3);
    QRect tab0;
    ASSERT_TRUE(tabs.GetItemRect(0, &tab0));
    const QRect expected(tab0.x(), tab0.y() + tab0.height(), 480 - tab0.x(), 440 - (tab0.y() + tab0.height()));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(tabs.PageAt(i)->geometry(), expected) << i;
    EXPECT_EQ(visiblePages(), 1);
    EXPECT_FALSE(tabs.PageAt(0)->isHidden());

    // Called again after a switch it keeps the page that is current, never two at once.
    tap(2);
    tabs.SetRectangle();
    EXPECT_EQ(tabs.m_nCurPage, 2);
    EXPECT_EQ(visiblePages(), 1);
    EXPECT_FALSE(tabs.PageAt(2)->isHidden());

    CMyTabCtrl empty;
    empty.SetRectangle(); // no pages: nothing to place
    EXPECT_EQ(empty.m_pages.GetSize(), 0);
}

TEST_F(TabControl, TapSwitchesAndNotifiesParentThenPage)
{
    build(kThree, 3);
    tap(2);
    EXPECT_EQ(tabs.m_nCurPage, 2);
    EXPECT_EQ(tabs.GetCurSel(), 2);
    EXPECT_TRUE(tabs.PageAt(0)->isHidden());
    EXPECT_FALSE(tabs.PageAt(2)->isHidden());
    EXPECT_EQ(visiblePages(), 1);
    EXPECT_EQ(messageLog(), (std::vector<std::string>{"parent", "page2"}));
    EXPECT_TRUE(tabs.hasFocus());

    // The tab that is already showing: nothing.
    messageLog().clear();
    tap(2);
    EXPECT_TRUE(messageLog().empty());
    EXPECT_EQ(tabs.m_nCurPage, 2);

    // Off the tabs: nothing.
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, QPoint(240, 300));
    EXPECT_TRUE(messageLog().empty());
    EXPECT_EQ(tabs.m_nCurPage, 2);
}

TEST_F(TabControl, StaticTabsSelectButNeverSwitch)
{
    build(kThree, 3);
    tabs.m_arrStaticTabs.Add(1);
    tap(1);
    EXPECT_EQ(tabs.GetCurSel(), 1);
    EXPECT_EQ(tabs.m_nCurPage, 0);
    EXPECT_FALSE(tabs.PageAt(0)->isHidden());
    EXPECT_TRUE(messageLog().empty());
}

TEST_F(TabControl, LeftAndRightReleasedOnTheStripSwitch)
{
    build(kThree, 3);
    tabs.setFocus();
    struct Step {
        Qt::Key key;
        int page;
        std::vector<std::string> log;
    };
    const Step steps[] = {
        {Qt::Key_Right, 1, {"parent", "page1"}},
        {Qt::Key_Right, 2, {"parent", "page2"}},
        {Qt::Key_Right, 2, {}}, // the strip itself does not wrap
        {Qt::Key_Up, 2, {}},
        {Qt::Key_Down, 2, {}},
        {Qt::Key_Left, 1, {"parent", "page1"}},
        {Qt::Key_Left, 0, {"parent", "page0"}},
        {Qt::Key_Left, 0, {}},
    };
    for (const Step& s : steps) {
        messageLog().clear();
        QTest::keyClick(&tabs, s.key);
        EXPECT_EQ(tabs.m_nCurPage, s.page) << s.key;
        EXPECT_EQ(messageLog(), s.log) << s.key;
        EXPECT_EQ(visiblePages(), 1);
    }
    // With the focused tab away from the page, only Left and Right released switch to it.
    tabs.SetCurSel(2);
    for (Qt::Key other : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Home, Qt::Key_A}) {
        QTest::keyClick(&tabs, other);
        EXPECT_EQ(tabs.m_nCurPage, 0) << other;
    }
    EXPECT_TRUE(messageLog().empty());
    QTest::keyClick(&tabs, Qt::Key_Right);
    EXPECT_EQ(tabs.m_nCurPage, 2);
    tabs.SetCurSel(0);
    QTest::keyClick(&tabs, Qt::Key_Left);
    EXPECT_EQ(tabs.m_nCurPage, 0);

    // The switch happens on release, not on the press.
    QTest::keyPress(&tabs, Qt::Key_Right);
    EXPECT_EQ(tabs.GetCurSel(), 1);
    EXPECT_EQ(tabs.m_nCurPage, 0);
    QTest::keyRelease(&tabs, Qt::Key_Right);
    EXPECT_EQ(tabs.m_nCurPage, 1);
}

TEST_F(TabControl, ArrowFocusMessageSwitchesWithoutNotifying)
{
    build(kThree, 3);
    tabs.SetCurFocus(2);
    tabs.PostMessage(WM_TAB_ARROW_FOCUS, 2, 0);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(tabs.m_nCurPage, 2);
    EXPECT_FALSE(tabs.PageAt(2)->isHidden());
    EXPECT_EQ(visiblePages(), 1);
    EXPECT_TRUE(messageLog().empty());
    EXPECT_EQ(QApplication::focusWidget(), tabs.PageAt(2));
}

TEST_F(TabControl, MoreTabsThanPagesDoesNotFail)
{
    build(kSix, 3);
    tabs.setGeometry(0, 0, 1600, 440); // all six tabs in view
    tap(5);
    EXPECT_EQ(tabs.m_nCurPage, 5);
    EXPECT_EQ(visiblePages(), 0);
    EXPECT_EQ(messageLog(), (std::vector<std::string>{"parent"}));
    tap(1);
    EXPECT_EQ(tabs.m_nCurPage, 1);
    EXPECT_EQ(visiblePages(), 1);
    tabs.SetCurFocus(4);
    EXPECT_EQ(tabs.SendMessage(WM_TAB_ARROW_FOCUS, 4, 0), 0);
    EXPECT_EQ(visiblePages(), 0);
}

TEST_F(TabControl, RemoveAllDeletesPagesAndSkipsNulls)
{
    build(kThree, 3);
    QPointer<QWidget> p0 = tabs.PageAt(0), p2 = tabs.PageAt(2);
    delete tabs.m_pages[1];
    tabs.m_pages[1] = nullptr;
    tabs.m_nCurPage = 2;
    tabs.vRemoveAllDlg();
    EXPECT_TRUE(p0.isNull());
    EXPECT_TRUE(p2.isNull());
    EXPECT_EQ(tabs.m_pages.GetSize(), 0);
    EXPECT_EQ(tabs.GetItemCount(), 3) << "the tabs stay";
    EXPECT_EQ(tabs.m_nCurPage, 2) << "the index stays";
    tap(1); // switching with no pages does not fail
    EXPECT_EQ(tabs.m_nCurPage, 1);
}

TEST(TabControlLife, DestructionDeletesThePages)
{
    addPageTemplate();
    QPointer<QWidget> page;
    {
        CMyTabCtrl tabs;
        tabs.m_pages.Add(new CMyDialog(kPageTemplate, nullptr, FALSE));
        page = tabs.PageAt(0);
        tabs.PageAt(0)->Create(kPageTemplate, &tabs);
        EXPECT_EQ(tabs.m_crBkgnd, 0x00DCC8A0u);
        EXPECT_EQ(tabs.m_nCurPage, 0);
        EXPECT_EQ(tabs.m_arrStaticTabs.GetSize(), 0);
    }
    EXPECT_TRUE(page.isNull());
}

TEST(TabColours, FromTheBackgroundColour)
{
    struct Case {
        COLORREF background;
        Rgb selected, unselected, selectedText, unselectedText;
    };
    const Case cases[] = {
        {0x00DCC8A0, {224, 255, 255}, {144, 180, 198}, {0, 0, 0}, {80, 100, 110}},
        {0xFFFFFFFF, {255, 255, 255}, {172, 172, 172}, {0, 0, 0}, {96, 96, 96}}, // button face 192
        {RGB(10, 100, 0), {14, 140, 0}, {9, 90, 0}, {0, 0, 0}, {5, 50, 0}},
    };
    for (const Case& c : cases) {
        CMyTabCtrl tabs;
        tabs.SetBkgndColor(c.background);
        EXPECT_EQ(tabs.m_crBkgnd, c.background);
        EXPECT_EQ(rgbOf(tabs.GetTabColor(TRUE)), c.selected);
        EXPECT_EQ(rgbOf(tabs.GetTabColor(FALSE)), c.unselected);
        EXPECT_EQ(rgbOf(tabs.GetTabTextColor(TRUE)), c.selectedText);
        EXPECT_EQ(rgbOf(tabs.GetTabTextColor(FALSE)), c.unselectedText);
    }
    // Factors outside their range are clamped.
    EXPECT_EQ(CMyTabCtrl::Darker(RGB(100, 150, 200), 1.5f), RGB(100, 150, 200));
    EXPECT_EQ(CMyTabCtrl::Darker(RGB(100, 150, 200), -2.0f), RGB(0, 0, 0));
    EXPECT_EQ(CMyTabCtrl::Lighter(RGB(100, 150, 200), 0.5f), RGB(100, 150, 200));
    EXPECT_EQ(CMyTabCtrl::Lighter(RGB(100, 150, 200), 2.0f), RGB(200, 255, 255));
}

TEST(TabColours, FactorsThatAreNoNumberOrUnboundedStayInRange)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const COLORREF c = RGB(0, 100, 200);
    struct Case {
        const char* name;
        COLORREF got, want;
    };
    const Case cases[] = {
        {"lighter by infinity saturates, black stays black", CMyTabCtrl::Lighter(c, inf), RGB(0, 255, 255)},
        {"lighter by a factor past any int", CMyTabCtrl::Lighter(c, 1e30f), RGB(0, 255, 255)},
        {"lighter by no number", CMyTabCtrl::Lighter(c, nan), c},
        {"darker by no number", CMyTabCtrl::Darker(c, nan), c},
        {"darker by minus infinity", CMyTabCtrl::Darker(c, -inf), RGB(0, 0, 0)},
        {"darker by infinity", CMyTabCtrl::Darker(c, inf), c},
        {"lighter by exactly the limit", CMyTabCtrl::Lighter(RGB(51, 51, 51), 5.0f), RGB(255, 255, 255)},
    };
    for (const Case& k : cases)
        EXPECT_EQ(rgbOf(k.got), rgbOf(k.want)) << k.name;
}

TEST_F(TabControl, PaintedColoursAtTheirPixels)
{
    build(kThree, 3);
    tabs.SetCurSel(1);
    const QImage img = render(tabs);
    const int rowBottom = tabs.RowBottom();

    // Selected tab: raised by 2, graded from 224/255/255 towards the button face.
    QRect sel;
    ASSERT_TRUE(tabs.GetItemRect(1, &sel));
    const int selTop = sel.y() - 2, selHeight = sel.height() + 2 + 2 - 1;
    const Rgb face = rgbOf(tessel::GetSysColor(tessel::COLOR_BTNFACE));
    auto graded = [](Rgb a, Rgb b, int offset, int height) {
        const int i = offset / 2 * 2;
        return Rgb{a.r + i * (b.r - a.r) / height, a.g + i * (b.g - a.g) / height, a.b + i * (b.b - a.b) / height};
    };
    const int x = sel.x() + 2; // left of the centred text, right of the border line
    EXPECT_EQ(rgbAt(img, x, selTop + 1), (Rgb{224, 255, 255}));
    for (int off = 1; off < selHeight - 1; ++off) // the last row lies under the page
        EXPECT_EQ(rgbAt(img, x, selTop + off), graded({224, 255, 255}, face, off, selHeight)) << off;
    // Its border: highlight down the left and along the top, shadow inside the right edge.
    EXPECT_EQ(rgbAt(img, sel.x(), selTop + 5), (Rgb{255, 255, 255}));
    EXPECT_EQ(rgbAt(img, sel.x() + 5, selTop), (Rgb{255, 255, 255}));
    EXPECT_EQ(rgbAt(img, sel.x() + sel.width() - 1, selTop + 5), (Rgb{168, 191, 191}));

    // Unselected tab: 144/180/198 at the top to 112/140/154, text 80/100/110.
    QRect un;
    ASSERT_TRUE(tabs.GetItemRect(2, &un));
    EXPECT_EQ(rgbAt(img, un.x() + 2, un.y()), (Rgb{144, 180, 198}));
    for (int off = 0; off < un.height(); ++off)
        EXPECT_EQ(rgbAt(img, un.x() + 2, un.y() + off), graded({144, 180, 198}, {112, 140, 154}, off, un.height()))
            << off;
    EXPECT_EQ(rgbAt(img, un.x() + un.width() - 1, un.y() + 4), (Rgb{108, 135, 148})) << "shadow inside the right edge";
    EXPECT_GT(countPixels(img, un, {80, 100, 110}), 10) << "unselected text";
    EXPECT_GT(countPixels(img, sel, {0, 0, 0}), 10) << "selected text";
    EXPECT_EQ(countPixels(img, un, {0, 0, 0}), 0);

    // The strip around the tabs in the background colour, the main border's left edge below it.
    EXPECT_EQ(rgbAt(img, 0, 0), (Rgb{160, 200, 220}));
    EXPECT_EQ(rgbAt(img, 0, rowBottom - 3), (Rgb{160, 200, 220}));
    QRect last;
    tabs.GetItemRect(2, &last);
    EXPECT_EQ(rgbAt(img, last.x() + last.width() + 5, rowBottom - 3), (Rgb{160, 200, 220}));
    EXPECT_EQ(rgbAt(img, 0, rowBottom + 40), (Rgb{216, 255, 255}));
}

TEST_F(TabControl, StripFillsAndBorderLinesToThePixel)
{
    build(kThree, 3);
    tabs.SetCurSel(1);
    for (int i = 0; i < 3; ++i)
        tabs.PageAt(i)->hide(); // the whole page-area frame in view
    const QImage img = render(tabs);
    const int w = tabs.width(), h = tabs.height(), row = tabs.RowBottom(); // row: main border's top
    QRect t0, t1, t2;
    ASSERT_TRUE(tabs.GetItemRect(0, &t0) && tabs.GetItemRect(1, &t1) && tabs.GetItemRect(2, &t2));
    ASSERT_EQ(t0.y(), 2);
    ASSERT_EQ(row, t0.y() + t0.height());
    const Rgb strip{160, 200, 220};
    const Rgb frameLight{216, 255, 255}, frameShadow{108, 135, 148}; // from the unselected tab colour
    const Rgb selLight{255, 255, 255}, selShadow{168, 191, 191};     // from the selected tab colour
    // The selected tab's band on the frame's top row: 224/255/255 graded to the button face over its
    // height (raised 2, lowered 2, less 1), each channel start + i * (end - start) / height.
    const int selHeight = t1.height() + 3, band = (row - (t1.y() - 2)) / 2 * 2;
    auto grade = [&](int a, int b) { return a + band * (b - a) / selHeight; };
    const Rgb lastBand{grade(224, 192), grade(255, 192), grade(255, 192)};
    struct Probe {
        const char* what;
        int x, y;
        Rgb want;
    };
    const Probe probes[] = {
        {"band above the tabs", t2.x() + 3, 1, strip},
        {"band above the tabs, beside the raised tab", t1.x() - 1, 0, strip},
        {"band left of the tabs, top", 0, 0, strip},
        {"band left of the tabs, last row", 1, row - 1, strip},
        {"right of the last tab, first column", t2.x() + t2.width(), row - 1, strip},
        {"right of the last tab, far end", w - 1, 3, strip},
        {"unselected tab: shadow just left of its left edge", t0.x() - 1, t0.y() + 1, frameShadow},
        {"unselected tab: left shadow stops 2 rows above its bottom", t0.x() - 1, row - 2, strip},
        {"unselected tab: shadow inside its right edge", t2.x() + t2.width() - 1, t2.y() + 1, frameShadow},
        {"unselected tab: no top line", t2.x() + 5, t2.y(), Rgb{144, 180, 198}},
        {"frame: top-left", 0, row, frameLight},
        {"frame: top line", t2.x() + t2.width() + 3, row, frameLight},
        {"frame: top line stops one short of the right edge", w - 1, row, frameShadow},
        {"frame: left line", 0, h - 2, frameLight},
        {"frame: bottom-left corner", 0, h - 1, frameShadow},
        {"frame: bottom line", w / 2, h - 1, frameShadow},
        {"frame: right line", w - 1, row + 7, frameShadow},
        {"selected tab: highlight down the left from the very top", t1.x(), 0, selLight},
        {"selected tab: left highlight reaches the frame's top row", t1.x(), row, selLight},
        {"selected tab: highlight along the top", t1.x() + t1.width() / 2, 0, selLight},
        {"selected tab: shadow inside the right edge", t1.x() + t1.width() - 1, row, selShadow},
        {"selected tab: its fill covers the frame's top row", t1.x() + 2, row, lastBand},
        // (bands are 2 rows: over an odd height the last one reaches a row further)
        {"below the selected tab's reach the frame's inside is left to the pages", t1.x() + 2,
         row + 1 + selHeight % 2, Rgb{192, 192, 192}},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(rgbAt(img, p.x, p.y), p.want) << p.what << " at " << p.x << "," << p.y;
}

TEST_F(TabControl, ButtonFaceBackgroundRecolours)
{
    build(kThree, 3);
    tabs.SetBkgndColor(0xFFFFFFFF);
    const QImage img = render(tabs);
    QRect un;
    tabs.GetItemRect(2, &un);
    EXPECT_EQ(rgbAt(img, 0, 0), (Rgb{192, 192, 192}));
    EXPECT_EQ(rgbAt(img, un.x() + 2, un.y()), (Rgb{172, 172, 172}));
    EXPECT_GT(countPixels(img, un, {96, 96, 96}), 10);
}

TEST_F(TabControl, StripScrollsToKeepTheSelectedTabInView)
{
    build(kSix, 6);
    ASSERT_TRUE(tabs.HasScroller()) << "six captions are wider than 480 pixels";
    const QRect scroller = tabs.ScrollerRect();
    EXPECT_GE(scroller.x() + scroller.width(), 470);
    EXPECT_EQ(tabs.FirstVisibleTab(), 0);
    EXPECT_EQ(tabs.HitTest(scroller.center()), -1);

    tabs.setFocus();
    for (int i = 1; i < 6; ++i) {
        QTest::keyClick(&tabs, Qt::Key_Right);
        QRect r;
        tabs.GetItemRect(i, &r);
        EXPECT_GE(r.x(), 0) << i;
        EXPECT_LT(r.x() + r.width(), scroller.x()) << i;
        EXPECT_EQ(tabs.m_nCurPage, i);
    }
    EXPECT_GT(tabs.FirstVisibleTab(), 0);
    // The page area does not move with the tabs.
    tabs.SetRectangle();
    EXPECT_EQ(tabs.PageAt(5)->x(), 2);

    // The scroller's left arrow scrolls back without switching the page.
    messageLog().clear();
    const int first = tabs.FirstVisibleTab();
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, QPoint(scroller.x() + 2, scroller.center().y()));
    EXPECT_EQ(tabs.FirstVisibleTab(), first - 1);
    EXPECT_EQ(tabs.m_nCurPage, 5);
    EXPECT_TRUE(messageLog().empty());
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, QPoint(scroller.x() + scroller.width() - 2, scroller.center().y()));
    EXPECT_EQ(tabs.FirstVisibleTab(), first);

    tabs.SetCurSel(0);
    EXPECT_EQ(tabs.FirstVisibleTab(), 0);
    tabs.resize(2000, 440);
    EXPECT_FALSE(tabs.HasScroller());
}
