// The grid list bound from a dialog template as a page binds it, driven with real keys and taps:
// the cell cursor and its pressed-in drawing, F2 and its notification, scrolling that takes the
// focus, editor placement, and the row, selection, check, heading and typed-text operations.

#include "TesselTestSupport.h"

#include <tessel/GridListCtrl.h>
#include <tessel/SysColors.h>

#include <platform/Dialog.h>
#include <platform/DialogTemplate.h>
#include <platform/StringTable.h>

#include <QAbstractItemModel>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>

#include <climits>
#include <cmath>
#include <optional>

#include <gtest/gtest.h>

using namespace platform;
using namespace tessel;
using namespace tesseltest;

namespace {

constexpr UINT kGridTemplate = 9210;
constexpr int kListId = 1014;

void addGridTemplate()
{
    DialogTemplate t;
    t.id = kGridTemplate;
    t.w = 160;
    t.h = 120;
    t.child = false;
    t.controls = {
        {kListId, ControlKind::ListView, {}, 0, 0, 160, 100, 0x0001 | 0x0004 | 0x00800000 | WS_TABSTOP | WS_VISIBLE},
        {1015, ControlKind::Edit, {}, 0, 104, 60, 14, WS_TABSTOP | WS_VISIBLE},
    };
    AddDialogTemplate(t);
}

// A dialog with the grid bound to its list view, keeping every WM_NOTIFY it is sent.
class GridHost : public Dialog {
public:
    GridHost() : Dialog(kGridTemplate) {}
    CGridListCtrl grid;
    std::vector<NMLVDISPINFO> notes;
    void DoDataExchange(bool) override { DDX_Control(kListId, grid); }
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override
    {
        if (m == WM_NOTIFY)
            notes.push_back(*reinterpret_cast<NMLVDISPINFO*>(l));
        return Dialog::WindowProc(m, w, l);
    }
};

class GridListCtrlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        addGridTemplate();
        host.Create(kGridTemplate, nullptr);
        host.resize(480, 360);
        grid().PrepareControl(1);
        for (int c = 0; c < 4; ++c)
            grid().InsertColumn(c, QStringLiteral("H%1").arg(c), LVCFMT_LEFT, 100, c);
        for (int r = 0; r < 5; ++r) {
            grid().InsertItem(r, QStringLiteral("r%1c0").arg(r));
            for (int c = 1; c < 4; ++c)
                grid().SetItemText(r, c, QStringLiteral("r%1c%2").arg(r).arg(c));
        }
        showActive(host);
        grid().setFocus();
    }
    CGridListCtrl& grid() { return host.grid; }
    void key(Qt::Key k) { QTest::keyClick(&grid(), k); }
    // Taps a row in the middle of column 0.
    void tapRow(int row)
    {
        QRect r;
        ASSERT_TRUE(grid().GetItemRect(row, &r, LVIR_BOUNDS));
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, {},
                          grid().viewport()->mapFrom(&grid(), r.center() + grid().ClientOrigin()) - QPoint(r.width() / 2 - 30, 0));
    }
    // The cell's rectangle in the host's pixels.
    QRect cellInHost(int row, int column)
    {
        QRect bounds;
        grid().GetItemRect(row, &bounds, LVIR_BOUNDS);
        int left = bounds.left();
        const int order = grid().IndexToOrder(column);
        for (int i = 0; i < order; ++i)
            left += grid().GetColumnWidth(grid().GetGridHeader()->OrderToIndex(i));
        if (column == 0) {
            QRect label;
            grid().GetItemRect(row, &label, LVIR_LABEL);
            left = label.left();
        }
        const int width = column == 0 ? bounds.left() + grid().GetColumnWidth(0) - left : grid().GetColumnWidth(column);
        return QRect(grid().mapTo(&host, QPoint(left, bounds.top()) + grid().ClientOrigin()), QSize(width, bounds.height()));
    }
    // The cell as the user sees it: pressed in, or not.
    bool pressedIn(const QImage& img, const QRect& c)
    {
        const Rgb shadow = rgbOf(GetSysColor(COLOR_BTNSHADOW)), face = rgbOf(GetSysColor(COLOR_BTNFACE));
        const Rgb dark = rgbOf(GetSysColor(COLOR_3DDKSHADOW)), light = rgbOf(GetSysColor(COLOR_BTNHIGHLIGHT));
        const int mx = c.left() + c.width() / 2, my = c.top() + c.height() / 2;
        return rgbAt(img, mx, c.top()) == shadow && rgbAt(img, c.left(), my) == shadow &&
               rgbAt(img, mx, c.bottom()) == face && rgbAt(img, c.right(), my) == face &&
               rgbAt(img, mx, c.top() + 1) == dark && rgbAt(img, c.left() + 1, my) == dark &&
               rgbAt(img, mx, c.bottom() - 1) == light && rgbAt(img, c.right() - 1, my) == light &&
               rgbAt(img, c.right() - 3, my) == face;
    }
    // What the screen shows now, without painting anew.
    QImage screen()
    {
        QApplication::processEvents();
        return QGuiApplication::primaryScreen()->grabWindow(host.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    }
    GridHost host;
};

} // namespace

TEST_F(GridListCtrlTest, LeftAndRightMoveTheCurrentColumnWithoutMovingTheRow)
{
    tapRow(2);
    ASSERT_EQ(grid().GetNextItem(-1, LVNI_FOCUSED), 2);
    struct Case {
        std::vector<Qt::Key> keys;
        int column;
    };
    const Case cases[] = {
        {{Qt::Key_Left}, -1},                                     // none stays none
        {{Qt::Key_Right}, 0},
        {{Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right}, 3}, // stops on the last
        {{Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Left}, 1},
        {{Qt::Key_Right, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left}, -1}, // Left from column 0 is none
    };
    for (const Case& c : cases) {
        grid().m_nCurCol = -1;
        for (Qt::Key k : c.keys)
            key(k);
        EXPECT_EQ(grid().m_nCurCol, c.column);
        EXPECT_EQ(grid().GetNextItem(-1, LVNI_FOCUSED), 2);
        EXPECT_EQ(grid().GetFirstSelectedItem(), 2);
    }
}

TEST_F(GridListCtrlTest, TheCurrentCellOfTheFocusedRowIsDrawnPressedIn)
{
    tapRow(1);
    key(Qt::Key_Right);
    key(Qt::Key_Right);
    QImage img = screen();
    EXPECT_TRUE(pressedIn(img, cellInHost(1, 1)));
    EXPECT_FALSE(pressedIn(img, cellInHost(1, 2)));
    EXPECT_FALSE(pressedIn(img, cellInHost(2, 1)));
    // The rest of the focused row keeps the selection colour.
    const QRect other = cellInHost(1, 3);
    EXPECT_EQ(rgbAt(img, other.right() - 4, other.center().y()), rgbOf(GetSysColor(COLOR_HIGHLIGHT)));

    // Column 0 starts at the label, after the check box.
    grid().SetCheckboxes(TRUE);
    key(Qt::Key_Left);
    EXPECT_TRUE(pressedIn(screen(), cellInHost(1, 0)));
    QRect label;
    grid().GetItemRect(1, &label, LVIR_LABEL);
    EXPECT_GT(label.left(), 0);

    // Left from column 0: no current cell, and the row is repainted without it.
    key(Qt::Key_Left);
    img = screen();
    for (int c = 0; c < 4; ++c)
        EXPECT_FALSE(pressedIn(img, cellInHost(1, c))) << c;

    // The cursor follows the focus to another row.
    key(Qt::Key_Right);
    key(Qt::Key_Down);
    img = screen();
    EXPECT_TRUE(pressedIn(img, cellInHost(2, 0)));
    EXPECT_FALSE(pressedIn(img, cellInHost(1, 0)));
}

TEST_F(GridListCtrlTest, RemovedColumnsLeaveNoCurrentColumn)
{
    struct Case {
        const char* name;
        std::function<void(CGridListCtrl&)> op;
    };
    const Case cases[] = {
        {"DeleteColumn", [](CGridListCtrl& g) { g.DeleteColumn(3); }},
        {"DeleteAllColumns", [](CGridListCtrl& g) { g.DeleteAllColumns(); }},
        {"vClearList", [](CGridListCtrl& g) { g.vClearList(); }},
        {"set out of range", [](CGridListCtrl& g) { g.m_nCurCol = 9; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        grid().vClearList();
        grid().SetHeadings(QStringLiteral("a,50;b,50;c,50;d,50"));
        for (int r = 0; r < 3; ++r)
            grid().InsertItem(r, QStringLiteral("x"));
        tapRow(0);
        grid().m_nCurCol = 3;
        c.op(grid());
        EXPECT_EQ(grid().CurrentColumnIndex(), -1);
        host.notes.clear();
        QTest::keyClick(&grid(), Qt::Key_F2); // nothing to edit
        EXPECT_TRUE(host.notes.empty());
        (void)screen(); // painting finds no column to press in
        key(Qt::Key_Right);
        EXPECT_EQ(grid().m_nCurCol, grid().GetColumnCount() > 0 ? 0 : -1);
    }
    EXPECT_EQ(grid().GetItemCount(), 3); // the last case kept its rows
}

TEST_F(GridListCtrlTest, F2TellsTheParentWhichCellToEdit)
{
    // Display order 2, 0, 1, 3: display position 0 is column index 2.
    const int order[4] = {2, 0, 1, 3};
    ASSERT_TRUE(grid().SetColumnOrderArray(4, order));
    EXPECT_EQ(grid().IndexToOrder(2), 0);
    EXPECT_EQ(grid().IndexToOrder(7), -1);

    QTest::keyClick(&grid(), Qt::Key_F2); // no focused row, no current column
    key(Qt::Key_Right);
    QTest::keyClick(&grid(), Qt::Key_F2); // still no focused row
    EXPECT_TRUE(host.notes.empty());

    tapRow(3);
    QTest::keyClick(&grid(), Qt::Key_F2);
    ASSERT_EQ(host.notes.size(), 1u);
    const NMLVDISPINFO& n = host.notes[0];
    EXPECT_EQ(n.hdr.hwndFrom, &grid());
    EXPECT_EQ(n.hdr.idFrom, std::uintptr_t(kListId));
    EXPECT_EQ(n.hdr.code, UINT(-175));
    EXPECT_EQ(n.item.mask, LVIF_TEXT);
    EXPECT_EQ(n.item.iItem, 3);
    EXPECT_EQ(n.item.iSubItem, 2);
    EXPECT_EQ(n.item.pszText, QStringLiteral("r3c2"));
    EXPECT_EQ(n.item.cchTextMax, 4);
}

TEST_F(GridListCtrlTest, ScrollingTakesTheFocusAndRightBringsTheColumnIntoView)
{
    for (int r = 5; r < 40; ++r)
        grid().InsertItem(r, QStringLiteral("more"));
    grid().SetColumnWidth(3, 300);
    QApplication::processEvents();
    auto* edit = host.GetDlgItem(1015);
    edit->setFocus();
    ASSERT_FALSE(grid().hasFocus());
    QScrollBar* bar = grid().verticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 3));
    EXPECT_TRUE(grid().hasFocus());
    EXPECT_GT(bar->value(), 0);

    edit->setFocus();
    QScrollBar* hbar = grid().horizontalScrollBar();
    ASSERT_TRUE(hbar->isVisible());
    QTest::mouseClick(hbar, Qt::LeftButton, {}, QPoint(hbar->width() - 3, hbar->height() / 2));
    EXPECT_TRUE(grid().hasFocus());

    // Right to the last column scrolls it to the left edge; Left to column 0 scrolls back.
    hbar->setValue(0);
    for (int i = 0; i < 4; ++i)
        key(Qt::Key_Right);
    EXPECT_EQ(hbar->value(), std::min(300, hbar->maximum()));
    EXPECT_GT(hbar->value(), 0);
    for (int i = 0; i < 3; ++i)
        key(Qt::Key_Left);
    EXPECT_EQ(hbar->value(), 0);
}

TEST_F(GridListCtrlTest, AnEditorIsPlacedOverTheCell)
{
    QLineEdit editor(&grid());
    struct Case {
        int row, position;
        BOOL ok;
    };
    grid().SetColumnWidth(1, 4);
    const Case cases[] = {{2, 2, TRUE}, {0, 0, TRUE}, {2, 1, FALSE}, {2, 4, FALSE}, {2, -1, FALSE}, {5, 0, FALSE}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row * 10 + c.position);
        editor.setGeometry(0, 0, 1, 1);
        ASSERT_EQ(grid().PositionControl(&editor, c.row, c.position), c.ok);
        if (!c.ok) {
            EXPECT_EQ(editor.geometry(), QRect(0, 0, 1, 1));
            continue;
        }
        QRect row;
        grid().GetItemRect(c.row, &row, LVIR_BOUNDS);
        const int offset = c.position == 2 ? 104 : 0;
        const QRect expected(row.left() + offset + 4, row.top(), grid().GetColumnWidth(c.position) - 3, row.height());
        EXPECT_EQ(editor.geometry(), expected.translated(grid().ClientOrigin()));
    }
    // A cell cut off at the right is scrolled to the left edge first.
    grid().SetColumnWidth(3, 400);
    QApplication::processEvents();
    QScrollBar* hbar = grid().horizontalScrollBar();
    ASSERT_GT(hbar->maximum(), 0);
    ASSERT_TRUE(grid().PositionControl(&editor, 0, 3));
    EXPECT_EQ(hbar->value(), std::min(204, hbar->maximum()));
    EXPECT_EQ(editor.geometry().left(), grid().ClientOrigin().x() - hbar->value() + 204 + 4);
    EXPECT_EQ(editor.geometry().right(), grid().ClientOrigin().x() + grid().GetClientRect().right());
}

TEST_F(GridListCtrlTest, DeleteWithSelectNextAndTheRowOperations)
{
    EXPECT_TRUE(grid().DeleteItem(4, TRUE)); // the last row: the new last is selected
    EXPECT_EQ(grid().GetFirstSelectedItem(), 3);
    EXPECT_TRUE(grid().DeleteItem(1, TRUE));
    EXPECT_EQ(grid().GetItemText(1, 0), QStringLiteral("r2c0"));
    EXPECT_EQ(grid().GetFirstSelectedItem(), 1); // single selection: only the new row
    EXPECT_EQ(grid().GetSelectedCount(), 1u);
    EXPECT_FALSE(grid().DeleteItem(7, TRUE));

    // Swaps carry texts, checks and selection; moves stop at the first swap that fails.
    grid().ModifyStyle(LVS_SINGLESEL, 0);
    grid().SetCheckboxes(TRUE);
    grid().CheckItem(0);
    EXPECT_TRUE(grid().SwapItems(0, 1));
    EXPECT_EQ(grid().GetItemText(0, 3), QStringLiteral("r2c3"));
    EXPECT_TRUE(grid().IsItemSelected(0));
    EXPECT_FALSE(grid().IsItemSelected(1));
    EXPECT_TRUE(grid().IsItemChecked(1));
    struct Move {
        std::function<BOOL(CGridListCtrl&)> op;
        BOOL ok;
        const char* order; // row labels after the move
    };
    const Move moves[] = {
        {[](CGridListCtrl& g) { return g.MoveDown(0, 2); }, TRUE, "r0 r3 r2"},
        {[](CGridListCtrl& g) { return g.MoveUp(2, -1); }, FALSE, "r0 r3 r2"},
        {[](CGridListCtrl& g) { return g.MoveUp(2, 5); }, FALSE, "r2 r0 r3"},
        {[](CGridListCtrl& g) { return g.MoveToBottom(0); }, TRUE, "r0 r3 r2"},
        {[](CGridListCtrl& g) { return g.MoveToTop(2); }, TRUE, "r2 r0 r3"},
        {[](CGridListCtrl& g) { return g.MoveDown(1, INT_MIN); }, FALSE, "r0 r2 r3"},
        {[](CGridListCtrl& g) { return g.MoveDown(INT_MAX, 1); }, FALSE, "r0 r2 r3"},
    };
    for (const Move& m : moves) {
        EXPECT_EQ(m.op(grid()), m.ok) << m.order;
        QStringList labels;
        for (int r = 0; r < grid().GetItemCount(); ++r)
            labels << grid().GetItemText(r, 0).left(2);
        EXPECT_EQ(labels.join(QLatin1Char(' ')), QString::fromLatin1(m.order));
    }

    // Searches start after the given row (from 0 when negative); clamping needs rows to clamp into.
    EXPECT_TRUE(grid().SelectAllItems());
    EXPECT_TRUE(grid().UnSelectItem(1));
    EXPECT_EQ(grid().GetFirstUnselectedItem(-5), 1);
    EXPECT_EQ(grid().GetFirstSelectedItem(0), 2);
    EXPECT_EQ(grid().GetFirstSelectedItem(INT_MAX), -1);
    EXPECT_EQ(grid().GetNextItem(INT_MAX, LVNI_ALL), -1);
    EXPECT_TRUE(grid().InvertCheck());
    EXPECT_EQ(grid().GetFirstUncheckedItem(), 0);
    EXPECT_EQ(grid().DeleteAllCheckedItems(), 2);
    EXPECT_EQ(grid().DeleteAllItems(), 1);
    EXPECT_FALSE(grid().SelectItem(0, TRUE));

    // Sort mode is off: a heading tap leaves the rows alone; row values are kept.
    grid().InsertItem(0, QStringLiteral("b"));
    grid().InsertItem(1, QStringLiteral("a"));
    EXPECT_TRUE(grid().SetItemData(1, 0xFFFFFFFFu));
    EXPECT_EQ(grid().GetItemData(1), 0xFFFFFFFFu);
    QTest::mouseClick(grid().GetGridHeader()->viewport(), Qt::LeftButton, {}, QPoint(20, 5));
    EXPECT_FALSE(grid().Sort());
    EXPECT_EQ(grid().GetItemText(0, 0), QStringLiteral("b"));
}

// A list that refuses to delete rows labelled "keep".
class StubbornGrid : public CGridListCtrl {
public:
    BOOL DeleteItem(int nItem) override
    {
        return GetItemText(nItem, 0) == QStringLiteral("keep") ? FALSE : CGridListCtrl::DeleteItem(nItem);
    }
};

TEST(GridListRows, DeletingByStateStopsAtTheFirstRefusedRow)
{
    struct Case {
        const char* name;
        std::function<int(CGridListCtrl&)> op;
        int deleted;
        int left;
    };
    // Rows: "a" (selected, checked), "keep" (selected, checked), "c" (selected, checked), "d".
    const Case cases[] = {
        {"selected", [](CGridListCtrl& g) { return g.DeleteAllSelectedItems(); }, 1, 3},
        {"checked", [](CGridListCtrl& g) { return g.DeleteAllCheckedItems(); }, 1, 3},
        {"unselected", [](CGridListCtrl& g) { return g.DeleteAllUnselectedItems(); }, 1, 3},
        {"all", [](CGridListCtrl& g) { return g.DeleteAllItems(); }, 1, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StubbornGrid g;
        g.SetCheckboxes(TRUE);
        g.InsertColumn(0, QStringLiteral("x"), LVCFMT_LEFT, 50);
        const char* labels[] = {"a", "keep", "c", "d"};
        for (int r = 0; r < 4; ++r) {
            g.InsertItem(r, QString::fromLatin1(labels[r]));
            if (r < 3) {
                g.SelectItem(r);
                g.CheckItem(r);
            }
        }
        EXPECT_EQ(c.op(g), c.deleted);
        EXPECT_EQ(g.GetItemCount(), c.left);
    }
}

TEST(GridListColumns, HeadingsFromOneString)
{
    AddString(9230, "卫星,1,40;名称,60");
    struct Case {
        QString headings;
        BOOL ok;
        std::vector<std::tuple<QString, int, int>> columns; // heading, format, width
    };
    const Case cases[] = {
        {QString(), TRUE, {}},
        {QStringLiteral("a,2,0;b,x,25;c,-7"), TRUE,
         {{"a", LVCFMT_RIGHT, 1}, {"b", LVCFMT_LEFT, 25}, {"c", LVCFMT_LEFT, 1}}},
        {QStringLiteral("a,10;stop;b,10"), TRUE, {{"a", LVCFMT_LEFT, 10}}},
        {QStringLiteral("wide,99999999999999"), TRUE, {{"wide", LVCFMT_LEFT, 32767}}},
        {QStringLiteral(" pad , 1 , 30 ;"), TRUE, {{" pad ", LVCFMT_CENTER, 30}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.headings.toStdString());
        CGridListCtrl g;
        EXPECT_EQ(g.SetHeadings(c.headings), c.ok);
        ASSERT_EQ(g.GetColumnCount(), int(c.columns.size()));
        for (int i = 0; i < g.GetColumnCount(); ++i) {
            LVCOLUMN col;
            col.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
            ASSERT_TRUE(g.GetColumn(i, &col));
            EXPECT_EQ(std::make_tuple(col.pszText, col.fmt, col.cx), c.columns[std::size_t(i)]);
        }
    }
    // From the string table, after the existing columns.
    CGridListCtrl g;
    g.InsertColumn(0, QStringLiteral("first"));
    EXPECT_TRUE(g.SetHeadings(9230u));
    LVCOLUMN col;
    col.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
    ASSERT_TRUE(g.GetColumn(1, &col));
    EXPECT_EQ(std::tie(col.pszText, col.fmt, col.cx), std::make_tuple(QStringLiteral("卫星"), LVCFMT_CENTER, 40));
    ASSERT_TRUE(g.GetColumn(2, &col));
    EXPECT_EQ(std::tie(col.pszText, col.fmt, col.cx), std::make_tuple(QStringLiteral("名称"), LVCFMT_LEFT, 60));
}

TEST(GridListText, TypedValuesAreWrittenWithTheirOwnConversion)
{
    CGridListCtrl g;
    g.InsertColumn(0, QStringLiteral("v"));
    g.InsertItem(0, QString());
    struct Case {
        std::function<BOOL(CGridListCtrl&)> write;
        const char* text;
    };
    const Case cases[] = {
        {[](CGridListCtrl& l) { return l.SetItemText(0, 0, 'A'); }, "A"},
        {[](CGridListCtrl& l) { return l.SetItemText(0, 0, static_cast<unsigned char>(200)); }, "200"},
        {[](CGridListCtrl& l) { return l.SetItemText(0, 0, static_cast<short>(-5)); }, "-5"},
        {[](CGridListCtrl& l) { return l.SetItemText(0, 0, static_cast<unsigned short>(65535)); }, "65535"},
        {[](CGridListCtrl& l) { return l.SetItemText(0, 0, INT_MIN); }, "-2147483648"},
        {[](CGridListCtrl& l) { return l.SetItemText(0, 0, 4294967295u); }, "4294967295"},
        {[](CGridListCtrl& l) { return l.SetItemText(0, 0, 2147483648u); }, "2147483648"},
        {[](CGridListCtrl& l) { return l.SetItemText(0, 0, 1099511627776L); }, "1099511627776"},
        {[](CGridListCtrl& l) { return l.SetItemText(0, 0, 18446744073709551615UL); }, "18446744073709551615"},
        {[](CGridListCtrl& l) { return l.SetItemText(0, 0, 2.5, 2); }, "2.50"},
        {[](CGridListCtrl& l) { return l.SetItemText(0, 0, 0.125f, 3); }, "0.125"},
        {[](CGridListCtrl& l) { return l.SetItemText(0, 0, 1.75, -3); }, "2"},
        {[](CGridListCtrl& l) { return l.SetItemText(0, 0, 1.0 / 3, INT_MAX); }, "0.333333333333333314829616256247"},
        {[](CGridListCtrl& l) { return l.SetItemText(0, 0, std::nan(""), 2); }, "nan"},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(c.write(g)) << c.text;
        EXPECT_EQ(g.GetItemText(0, 0), QString::fromLatin1(c.text));
    }
    EXPECT_FALSE(g.SetItemText(1, 0, 7));
    EXPECT_FALSE(g.SetItemText(0, 1, 7)); // no such column
}
