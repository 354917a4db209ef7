// The editable parameter list with real taps and keys: cell drawing, the hit-test boundary, which
// taps open an editor, both editors' lives and what the parent hears, keyboard navigation in all four
// directions, and flags and character sets read and written only inside their tables.

#include "receiver/CellCombo.h"
#include "receiver/CellEdit.h"
#include "receiver/ParamListCtrl.h"

#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "platform/DialogTemplate.h"
#include "platform/KeyRouter.h"
#include "platform/Sound.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>

#include <map>

#include <gtest/gtest.h>

using namespace platform;

namespace {

constexpr UINT kHostTemplate = 9501;
constexpr int kListId = 1002;

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Rgb& c) { return os << c.r << '/' << c.g << '/' << c.b; }
Rgb rgbAt(const QImage& img, QPoint p)
{
    const QRgb c = img.pixel(p);
    return {qRed(c), qGreen(c), qBlue(c)};
}

struct Edited {
    int row, col;
    QString text;
    WPARAM id;
};

// The list's parent: answers the choices of a row and records every finished edit.
class Host : public Dialog {
public:
    Host() : Dialog(kHostTemplate) {}
    CParamListCtrl list;
    std::map<int, QStringList> choices;
    std::vector<Edited> edited;
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override
    {
        if (m == stavo::WM_LIST_GETCHOICES) {
            auto* out = reinterpret_cast<CArray<QString>*>(l);
            for (const QString& c : choices[int(w)])
                out->Add(c);
            return TRUE;
        }
        if (m == stavo::WM_LIST_CELLEDITED) {
            const auto* info = reinterpret_cast<const stavo::NMLVDISPINFO*>(l);
            edited.push_back({info->item.iItem, info->item.iSubItem, info->item.pszText, w});
            return 0;
        }
        return Dialog::WindowProc(m, w, l);
    }

protected:
    void DoDataExchange(bool save) override
    {
        Dialog::DoDataExchange(save);
        DDX_Control(kListId, list);
    }
};

QStringList numbered(int n)
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << QStringLiteral("C%1").arg(i, 2, 10, QLatin1Char('0'));
    return out;
}

// Three columns, five rows. Editable: (0,1) (1,1) (2,1) (2,2) (3,1) (4,1) (4,2). Row 1 chooses from
// three, row 3 from twelve. Column 1 takes "+-0123456789.:".
class ParamList : public ::testing::Test {
protected:
    void SetUp() override
    {
        DialogTemplate t;
        t.id = kHostTemplate;
        t.w = 160;
        t.h = 120;
        t.child = false;
        t.controls = {{kListId, ControlKind::ListView, QString(), 0, 0, 150, 100,
                       WS_VISIBLE | WS_TABSTOP | 0x00800000 | 0x0001 | 0x0004 | 0x0008 | 0x0200 | 0x0400},
                      {1003, ControlKind::Edit, QString(), 0, 105, 60, 12, WS_VISIBLE | WS_TABSTOP}};
        AddDialogTemplate(t);
        host = std::make_unique<Host>();
        host->Create(kHostTemplate, nullptr);
        CParamListCtrl& l = host->list;
        l.InsertColumn(0, QStringLiteral("名称"));
        l.InsertColumn(1, QStringLiteral("值"));
        l.InsertColumn(2, QStringLiteral("备注"));
        l.SetColumnWidth(0, 150);
        l.SetColumnWidth(1, 150);
        l.SetColumnWidth(2, 80);
        for (int r = 0; r < 5; ++r)
            l.InsertRow(r, QStringLiteral("r%1").arg(r));
        for (auto [r, c] : {std::pair{0, 1}, {1, 1}, {2, 1}, {2, 2}, {3, 1}, {4, 1}, {4, 2}})
            l.SetCellReadOnly(r, c, 0);
        l.SetChoiceRow(1, TRUE);
        l.SetChoiceRow(3, TRUE);
        l.SetAllowedChars(QStringLiteral("+-0123456789.:"), 1);
        l.SetChoiceScrollBar(TRUE);
        const char* texts[][3] = {{"r0", "5", ""}, {"r1", "WA", ""}, {"r2", "12", "x"}, {"r3", "zzz", ""}, {"r4", "8", "y"}};
        for (int r = 0; r < 5; ++r)
            for (int c = 1; c < 3; ++c)
                l.SetItemText(r, c, QString::fromLatin1(texts[r][c]));
        host->choices[1] = {QStringLiteral("NONE"), QStringLiteral("WAAS"), QStringLiteral("WIDE")};
        host->choices[3] = numbered(12);
        host->show();
        QApplication::setActiveWindow(host.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(host.get()));
        SetBeepRecording(true);
        ClearBeepLog();
    }
    void TearDown() override
    {
        SetBeepRecording(false);
        host.reset();
    }

    CParamListCtrl& list() { return host->list; }
    QPoint centre(int row, int col) { return list().GetCellRect(row, col, true).center(); }
    void tap(int row, int col, Qt::KeyboardModifiers mods = {})
    {
        QTest::mouseClick(list().viewport(), Qt::LeftButton, mods, centre(row, col));
        settle();
    }
    void key(int k, Qt::KeyboardModifiers mods = {})
    {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, Qt::Key(k), mods);
        settle();
    }
    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }
    // The open editor's cell, or (-1, -1) when none is open.
    std::pair<int, int> openCell()
    {
        if (CCellEdit* e = CParamListCtrl::CellEdit(); e && e->HasWindow() && e->isVisible())
            return {e->m_nRow, e->m_nCol};
        if (CCellCombo* c = CParamListCtrl::CellCombo(); c && c->HasWindow() && c->isVisible())
            return {c->m_nRow, c->m_nCol};
        return {-1, -1};
    }

    std::unique_ptr<Host> host;
};

} // namespace

TEST_F(ParamList, DrawsEveryCellItself)
{
    list().SetItemState(2, stavo::LVIS_SELECTED | stavo::LVIS_FOCUSED, stavo::LVIS_SELECTED | stavo::LVIS_FOCUSED);
    settle();
    const QImage img = list().viewport()->grab().toImage();
    struct Case {
        int row, col;
        Rgb fill;
    };
    const Case cases[] = {
        {0, 0, {192, 192, 192}}, // read-only
        {0, 1, {255, 255, 255}}, // editable
        {2, 0, {128, 128, 128}}, // read-only, selected row
        {2, 1, {0, 0, 255}},     // editable, selected row
    };
    for (const Case& c : cases) {
        const QRect cell = list().GetCellRect(c.row, c.col, true);
        // Just inside the border, and away from the text.
        EXPECT_EQ(rgbAt(img, QPoint(cell.right() - 2, cell.top() + 2)), c.fill) << c.row << "," << c.col;
        // The border: the cell's left column and top row, in the plain black pen.
        EXPECT_EQ(rgbAt(img, QPoint(cell.left(), cell.center().y())), (Rgb{0, 0, 0})) << c.row << "," << c.col;
        EXPECT_EQ(rgbAt(img, QPoint(cell.center().x(), cell.top())), (Rgb{0, 0, 0})) << c.row << "," << c.col;
        // Its right and bottom sides lie one pixel outside the cell, on the next cell's border: the
        // cell's own last column and row keep the fill, so the grid lines are one pixel wide.
        EXPECT_EQ(rgbAt(img, QPoint(cell.right(), cell.top() + 2)), c.fill) << c.row << "," << c.col;
        EXPECT_EQ(rgbAt(img, QPoint(cell.right() - 2, cell.bottom())), c.fill) << c.row << "," << c.col;
    }
    // The last column's right side and the last row's bottom side, drawn outside the cells.
    const QRect corner = list().GetCellRect(4, 2, true);
    EXPECT_EQ(rgbAt(img, QPoint(corner.right() + 1, corner.center().y())), (Rgb{0, 0, 0}));
    EXPECT_EQ(rgbAt(img, QPoint(corner.center().x(), corner.bottom() + 1)), (Rgb{0, 0, 0}));
    // Text: white in the selected row, black elsewhere (some pixel of the label's ink).
    auto hasInk = [&](int row, Rgb ink) {
        const QRect inner = list().GetCellRect(row, 0, false);
        for (int y = inner.top(); y <= inner.bottom(); ++y)
            for (int x = inner.left(); x <= inner.left() + 40; ++x)
                if (rgbAt(img, {x, y}) == ink)
                    return true;
        return false;
    };
    EXPECT_TRUE(hasInk(2, {255, 255, 255}));
    EXPECT_TRUE(hasInk(0, {0, 0, 0}));
    EXPECT_EQ(list().GetCellRect(1, 0, true).height(), 30);
}

TEST_F(ParamList, HitTestGivesABoundaryToTheLeftColumn)
{
    const QRect c0 = list().GetCellRect(0, 0, true);
    const int boundary = c0.left() + c0.width(); // left edge plus width: column 0's last covered x
    const int end = boundary + 150 + 80;
    struct Case {
        int x;
        int row, col; // -1: no cell
    };
    const Case cases[] = {
        {c0.left(), 0, 0}, {boundary - 1, 0, 0}, {boundary, 0, 0}, {boundary + 1, 0, 1},
        {boundary + 150, 0, 1}, {end - 1, 0, 2}, {end, -1, -1}, {end + 20, -1, -1},
    };
    for (const Case& c : cases) {
        int row = -1, col = -1;
        const bool hit = list().HitTestCell(QPoint(c.x, c0.center().y()), &row, &col);
        EXPECT_EQ(hit, c.row >= 0) << c.x;
        if (hit) {
            EXPECT_EQ(std::pair(row, col), std::pair(c.row, c.col)) << c.x;
        }
    }
    int row = -1, col = -1;
    const QRect last = list().GetCellRect(4, 0, true);
    EXPECT_FALSE(list().HitTestCell(QPoint(10, last.top() + last.height() + 5), &row, &col)) << "below the rows";
}

TEST_F(ParamList, TapsOpenEditorsOnlyOnEditableCellsOfTheFocusedRow)
{
    tap(0, 0);
    EXPECT_EQ(openCell(), std::pair(-1, -1)) << "read-only";
    tap(2, 1, Qt::ControlModifier);
    EXPECT_EQ(openCell(), std::pair(-1, -1)) << "Ctrl held";
    tap(2, 1, Qt::ShiftModifier);
    EXPECT_EQ(openCell(), std::pair(-1, -1)) << "Shift held";

    tap(0, 1);
    ASSERT_EQ(openCell(), std::pair(0, 1));
    CCellEdit* edit = CParamListCtrl::CellEdit();
    EXPECT_EQ(edit->geometry(), list().GetCellRect(0, 1, true));
    EXPECT_EQ(edit->text(), QStringLiteral("5"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("5"));
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->m_nKind, CNumEdit::KIND_TEXT);
    EXPECT_EQ(GetDlgCtrlID(edit), 0);

    // A tap on a choice cell commits the text edit and opens the drop-down; the editors are the
    // program's two, the same objects every time.
    QTest::keyClicks(edit, QStringLiteral("7"));
    tap(1, 1);
    EXPECT_EQ(openCell(), std::pair(1, 1));
    ASSERT_FALSE(host->edited.empty());
    EXPECT_EQ(host->edited.back().text, QStringLiteral("7"));
    EXPECT_EQ(host->edited.back().id, WPARAM(kListId));
    EXPECT_EQ(list().GetItemText(0, 1), QStringLiteral("7"));
    tap(2, 1);
    EXPECT_EQ(openCell(), std::pair(2, 1));
    EXPECT_EQ(CParamListCtrl::CellEdit(), edit);
    tap(2, 2); // text edit to text edit: the new one opens at once
    EXPECT_EQ(openCell(), std::pair(2, 2));
    EXPECT_EQ(CParamListCtrl::CellEdit(), edit);
    EXPECT_EQ(edit->text(), QStringLiteral("x"));
}

TEST_F(ParamList, DropDownHeightsPreselectionAndLeavingWithoutAChoice)
{
    tap(1, 1);
    CCellCombo* combo = CParamListCtrl::CellCombo();
    ASSERT_NE(combo, nullptr);
    const int cell = list().GetCellRect(1, 1, true).height();
    EXPECT_EQ(combo->GetDroppedControlRect().height(), 5 * cell) << "3 choices: the cell and 4 more";
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentText(), QStringLiteral("WAAS")) << "\"WA\" begins WAAS, not WIDE";
    EXPECT_TRUE(combo->view()->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn);
    combo->showPopup();
    settle();
    EXPECT_EQ(combo->view()->window()->height(), 4 * cell);
    EXPECT_TRUE(host->edited.empty()) << "its own drop-down does not end the edit";
    // Picking a choice with a tap ends the edit (a tap straight after opening is not taken as one).
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    QAbstractItemView* view = combo->view();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(2, 0)).center());
    settle();
    settle();
    EXPECT_EQ(openCell(), std::pair(-1, -1));
    EXPECT_EQ(list().GetItemText(1, 1), QStringLiteral("WIDE"));

    tap(3, 1);
    EXPECT_EQ(combo->GetDroppedControlRect().height(), 12 * cell) << "12 choices: at most 11 more";
    EXPECT_EQ(combo->currentIndex(), -1) << "\"zzz\" begins no choice";
    key(Qt::Key_Return);
    EXPECT_EQ(list().GetItemText(3, 1), QString()) << "left without a choice";
    EXPECT_EQ(host->edited.back().row, 3);
}

TEST_F(ParamList, EscapeRestoresTheTextAndStillNotifies)
{
    tap(0, 1);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("99"));
    EXPECT_EQ(CParamListCtrl::CellEdit()->text(), QStringLiteral("99"));
    key(Qt::Key_Escape);
    EXPECT_EQ(openCell(), std::pair(-1, -1));
    EXPECT_EQ(list().GetItemText(0, 1), QStringLiteral("5"));
    ASSERT_EQ(host->edited.size(), 1u);
    EXPECT_EQ(host->edited[0].text, QStringLiteral("5"));
    EXPECT_EQ(std::pair(host->edited[0].row, host->edited[0].col), std::pair(0, 1));
    EXPECT_EQ(list().CurrentColumn(), 1);

    tap(1, 1); // the drop-down cancelled the same way
    key(Qt::Key_Down);
    key(Qt::Key_Escape);
    EXPECT_EQ(list().GetItemText(1, 1), QStringLiteral("WA"));
    EXPECT_EQ(host->edited.size(), 2u);
}

TEST_F(ParamList, RefusedCharactersBeepAndTheClipboardKeysStillWork)
{
    tap(0, 1);
    CCellEdit* edit = CParamListCtrl::CellEdit();
    key(Qt::Key_End);
    QTest::keyClicks(edit, QStringLiteral("a"));
    EXPECT_EQ(edit->text(), QStringLiteral("5"));
    ASSERT_EQ(BeepLog().size(), 1u);
    EXPECT_EQ(BeepLog()[0], MB_ICONEXCLAMATION);
    QTest::keyClicks(edit, QStringLiteral("-1.5:"));
    EXPECT_EQ(edit->text(), QStringLiteral("5-1.5:"));
    key(Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("5-1.5"));
    edit->selectAll();
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("5-1.5"));
    QApplication::clipboard()->setText(QStringLiteral("ab"));
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("ab")) << "a paste is not filtered";
    EXPECT_EQ(BeepLog().size(), 1u);
}

TEST_F(ParamList, ReturnAndRightArrowAtTheEnds)
{
    // Right with the caret inside the text moves the caret; at the end it goes to the next cell.
    tap(2, 1);
    CCellEdit* edit = CParamListCtrl::CellEdit();
    // No edit has ended yet, so navigation starts from column 0: Right at the end of the text
    // reopens this same cell (its text committed). The edit there has ended, so the next Right
    // at the end moves on.
    key(Qt::Key_End);
    key(Qt::Key_Right);
    EXPECT_EQ(openCell(), std::pair(2, 1));
    EXPECT_EQ(list().CurrentColumn(), 1);
    key(Qt::Key_Home);
    EXPECT_EQ(openCell(), std::pair(2, 1));
    key(Qt::Key_Right);
    EXPECT_EQ(edit->cursorPosition(), 1);
    EXPECT_EQ(openCell(), std::pair(2, 1));
    key(Qt::Key_Right);
    EXPECT_EQ(openCell(), std::pair(2, 1));
    key(Qt::Key_Right);
    EXPECT_EQ(openCell(), std::pair(2, 2));

    // Return in a text editor in the last editable cell: nothing follows, the editor stays.
    tap(4, 2);
    key(Qt::Key_Return);
    EXPECT_EQ(openCell(), std::pair(4, 2));
    EXPECT_TRUE(CParamListCtrl::CellEdit()->hasFocus());

    // The same cell as a choice cell: Return closes the box and opens nothing.
    list().setFocus();
    settle();
    list().SetChoiceRow(4, TRUE);
    host->choices[4] = {QStringLiteral("y1"), QStringLiteral("y2")};
    tap(4, 2);
    EXPECT_EQ(openCell(), std::pair(4, 2));
    key(Qt::Key_Return);
    EXPECT_EQ(openCell(), std::pair(-1, -1));
    EXPECT_EQ(list().GetItemText(4, 2), QStringLiteral("y1"));
}

TEST_F(ParamList, KeyboardNavigationInAllFourDirections)
{
    struct Case {
        int fromRow, fromCol; // an edit there sets the selected row and the current column
        int key;
        int toRow, toCol;     // -1: nothing opens
    };
    const Case cases[] = {
        {2, 1, Qt::Key_Right, 2, 2}, {2, 2, Qt::Key_Right, 3, 1}, {4, 2, Qt::Key_Right, -1, -1},
        {2, 1, Qt::Key_Left, 1, 1},  {0, 1, Qt::Key_Left, -1, -1},
        {0, 1, Qt::Key_Down, 1, 1},  {4, 1, Qt::Key_Down, 2, 2},  {4, 2, Qt::Key_Down, -1, -1},
        {1, 1, Qt::Key_Up, 0, 1},    {0, 1, Qt::Key_Up, -1, -1},  {2, 2, Qt::Key_Up, 4, 1},
        {2, 1, Qt::Key_Return, 2, 2},
    };
    for (const Case& c : cases) {
        tap(c.fromRow, c.fromCol);
        ASSERT_EQ(openCell(), std::pair(c.fromRow, c.fromCol));
        key(Qt::Key_Escape); // ends the edit there; the list has the focus
        ASSERT_TRUE(list().hasFocus());
        QTest::keyClick(&list(), Qt::Key(c.key));
        settle();
        EXPECT_EQ(openCell(), std::pair(c.toRow, c.toCol)) << c.fromRow << "," << c.fromCol << " key " << c.key;
        if (c.toRow >= 0) {
            EXPECT_EQ(list().GetItemState(c.toRow, stavo::LVIS_SELECTED | stavo::LVIS_FOCUSED),
                      stavo::LVIS_SELECTED | stavo::LVIS_FOCUSED);
        }
        list().setFocus();
        settle();
    }
    // Other keys do nothing.
    QTest::keyClick(&list(), Qt::Key_Home);
    QTest::keyClick(&list(), Qt::Key_A);
    settle();
    EXPECT_EQ(openCell(), std::pair(-1, -1));
}

TEST_F(ParamList, ScrollingEndsTheEdit)
{
    host->list.resize(host->list.width(), 120); // rows now scroll
    settle();
    tap(0, 1);
    ASSERT_EQ(openCell(), std::pair(0, 1));
    list().verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    settle();
    EXPECT_EQ(openCell(), std::pair(-1, -1));
    EXPECT_EQ(host->edited.size(), 1u);
    EXPECT_TRUE(list().hasFocus());
}

TEST_F(ParamList, FlagsAndCharacterSetsStayInsideTheirTables)
{
    const QString before = list().AllowedChars(0);
    list().SetAllowedChars(QStringLiteral("x"), -2);
    list().SetAllowedChars(QStringLiteral("x"), 100);
    for (int c = 0; c < 100; ++c)
        ASSERT_EQ(list().AllowedChars(c), c == 1 ? QStringLiteral("+-0123456789.:") : before) << c;
    list().SetAllowedChars(QStringLiteral("9"), -1);
    EXPECT_EQ(list().AllowedChars(99), QStringLiteral("9"));

    // A column past the flag record: editable, and it takes no flag.
    list().SetCellReadOnly(0, 40, 1);
    EXPECT_FALSE(list().IsCellReadOnly(0, 40));
    EXPECT_FALSE(list().IsCellReadOnly(0, -1));
    EXPECT_TRUE(list().IsCellReadOnly(0, 7));
    EXPECT_FALSE(list().IsCellReadOnly(0, 8));

    // A row inserted past the count lands at the end without a flag record of its own.
    EXPECT_EQ(list().InsertRow(50, QStringLiteral("far")), 5);
    EXPECT_EQ(list().GetItemCount(), 6);
    list().SetCellReadOnly(5, 0, 1);
    EXPECT_FALSE(list().IsCellReadOnly(5, 0));
    EXPECT_FALSE(list().IsCellReadOnly(6, 0)) << "beyond the rows: editable";
    EXPECT_EQ(list().InsertRow(-1, QStringLiteral("none")), -1);

    // Rows inserted inside the list keep every later record with its row.
    list().InsertRow(0, QStringLiteral("new"));
    EXPECT_TRUE(list().IsCellReadOnly(0, 1)) << "a new row: columns 0 to 7 read-only";
    EXPECT_FALSE(list().IsCellReadOnly(1, 1)) << "the old row 0 moved down with its flags";

    // The list view's own label editing: refused on read-only cells and on choice rows (which are
    // row numbers: they stay where they were).
    stavo::NMLVDISPINFO info;
    info.item.iItem = 5;
    info.item.iSubItem = 2;
    EXPECT_EQ(list().OnBeginLabelEdit(&info), 0);
    info.item.iSubItem = 0;
    EXPECT_EQ(list().OnBeginLabelEdit(&info), 1);
    info.item.iItem = 1;
    info.item.iSubItem = 1;
    EXPECT_EQ(list().OnBeginLabelEdit(&info), 1);
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    InstallKeyRouter(nullptr);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
