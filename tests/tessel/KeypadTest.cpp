// Keypad navigation of pages in a form-view application, with real key events through the key
// router: arrows between controls, combo boxes wrapping, edit caret at the ends, radio buttons, the
// tab strip wrapping, and Enter/Escape turned into view commands.

#include "TesselTestSupport.h"

#include <tessel/MyTabCtrl.h>

#include <platform/Controls.h>
#include <platform/DialogTemplate.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>

using namespace platform;
using namespace tesseltest;

namespace {

constexpr UINT kKeypadTemplate = 9202;
enum : int {
    kCombo = 2001, kEdit = 2002, kPush = 2003, kRadioA = 2004, kRadioB = 2005, kTabs = 2006,
    kList = 2007, kDefPush = 2008, kPlainRadio = 2009,
};

void addKeypadTemplate()
{
    DialogTemplate t;
    t.id = kKeypadTemplate;
    t.w = 160;
    t.h = 200;
    const DWORD s = WS_VISIBLE | WS_TABSTOP;
    t.controls = {
        {kCombo, ControlKind::ComboBox, {}, 4, 4, 60, 12, s},
        {kEdit, ControlKind::Edit, {}, 70, 4, 60, 12, s},
        {kPush, ControlKind::Button, QStringLiteral("Push"), 4, 20, 40, 12, s | BS_PUSHBUTTON},
        {kRadioA, ControlKind::Button, QStringLiteral("A"), 50, 20, 30, 12, s | BS_AUTORADIOBUTTON | WS_GROUP},
        {kRadioB, ControlKind::Button, QStringLiteral("B"), 84, 20, 30, 12, s | BS_AUTORADIOBUTTON},
        {kList, ControlKind::ListBox, {}, 4, 36, 60, 30, s},
        {kDefPush, ControlKind::Button, QStringLiteral("Def"), 70, 36, 40, 12, s | BS_DEFPUSHBUTTON},
        {kPlainRadio, ControlKind::Button, QStringLiteral("R"), 114, 36, 30, 12, s | BS_RADIOBUTTON | WS_GROUP},
        {kTabs, ControlKind::TabControl, {}, 0, 70, 160, 120, s},
    };
    AddDialogTemplate(t);
}

// The form view: receives the Enter and Escape commands.
class View : public QWidget, public Window {
public:
    View() : Window(this) {}
    std::vector<std::pair<WPARAM, LPARAM>> commands;
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override
    {
        if (m == WM_COMMAND)
            commands.push_back({w, l});
        return Window::WindowProc(m, w, l);
    }
};

class KeypadPage : public CMyDialog {
public:
    explicit KeypadPage(QWidget* view) : CMyDialog(kKeypadTemplate, view, TRUE) {}
    CMyTabCtrl tabs;
    std::vector<WPARAM> nextCtl; // WM_NEXTDLGCTL as it arrives: 1 previous, 0 next
    std::vector<WPARAM> commands;
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override
    {
        if (m == WM_NEXTDLGCTL)
            nextCtl.push_back(w);
        if (m == WM_COMMAND)
            commands.push_back(w);
        return CMyDialog::WindowProc(m, w, l);
    }
    void DoDataExchange(bool) override { DDX_Control(kTabs, tabs); }
};

class Keypad : public ::testing::Test {
protected:
    void SetUp() override
    {
        addPageTemplate();
        addKeypadTemplate();
        view.resize(480, 640);
        enterButton = new QPushButton(QStringLiteral("OK"), &view);
        SetDlgCtrlID(enterButton, 1142);
        escButton = new QPushButton(QStringLiteral("Back"), &view);
        SetDlgCtrlID(escButton, 1001);
        page = new KeypadPage(&view);
        ASSERT_EQ(CMyDialog::m_pView, &view);
        page->Create(kKeypadTemplate, &view);
        page->setGeometry(0, 0, 480, 600);
        CMyTabCtrl& t = page->tabs;
        t.m_pages.SetSize(3);
        for (int i = 0; i < 3; ++i) {
            t.InsertItem(i, QString(QChar('A' + i)));
            auto* p = new RecordingPage("sub" + std::to_string(i));
            t.m_pages[i] = p;
            p->Create(kPageTemplate, &t);
        }
        t.SetRectangle();
        showActive(view);
        QCoreApplication::sendPostedEvents();
        messageLog().clear();
    }
    void TearDown() override { CMyDialog::m_pView = nullptr; }

    QWidget* item(int id) { return page->GetDlgItem(id); }
    QComboBox* combo() { return qobject_cast<QComboBox*>(item(kCombo)); }
    QLineEdit* edit() { return qobject_cast<QLineEdit*>(item(kEdit)); }

    // Presses and releases the key on the control, delivering what the press posted in between,
    // as the handheld's queue hands posted messages out before the next input.
    void press(int id, Qt::Key key)
    {
        QWidget* w = item(id);
        w->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), w);
        page->nextCtl.clear();
        QTest::keyPress(w, key);
        QCoreApplication::sendPostedEvents();
        QTest::keyRelease(QApplication::focusWidget() ? QApplication::focusWidget() : w, key);
        QCoreApplication::sendPostedEvents();
    }

    View view;
    QPushButton* enterButton = nullptr;
    QPushButton* escButton = nullptr;
    KeypadPage* page = nullptr; // owned by the view
};

} // namespace

TEST_F(Keypad, ArrowKeysByControlKind)
{
    int notices = 0;
    QObject::connect(combo(), &QComboBox::currentIndexChanged, [&] { ++notices; });
    auto fillCombo = [&](int sel) {
        const QSignalBlocker b(combo());
        combo()->clear();
        combo()->addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        combo()->setCurrentIndex(sel);
    };
    auto setEdit = [&](int caret, int selLen) {
        edit()->setText(QStringLiteral("12345"));
        if (selLen)
            edit()->setSelection(caret, selLen);
        else
            edit()->setCursorPosition(caret);
    };
    struct Case {
        const char* name;
        int id;
        Qt::Key key;
        std::function<void()> setup;
        int expectNext; // wParam of the posted WM_NEXTDLGCTL, -1 for none
        std::function<void()> check;
    };
    const Case cases[] = {
        {"combo Up on the first item wraps to the last", kCombo, Qt::Key_Up, [&] { fillCombo(0); }, -1,
         [&] { EXPECT_EQ(combo()->currentIndex(), 2); }},
        {"combo Down on the last item wraps to the first", kCombo, Qt::Key_Down, [&] { fillCombo(2); }, -1,
         [&] { EXPECT_EQ(combo()->currentIndex(), 0); }},
        {"combo Up inside the list is the box's own", kCombo, Qt::Key_Up, [&] { fillCombo(1); }, -1,
         [&] { EXPECT_EQ(combo()->currentIndex(), 0); }},
        {"combo Down inside the list is the box's own", kCombo, Qt::Key_Down, [&] { fillCombo(0); }, -1,
         [&] { EXPECT_EQ(combo()->currentIndex(), 1); }},
        {"combo without selection, Up", kCombo, Qt::Key_Up, [&] { fillCombo(-1); }, -1, [] {}},
        {"combo without selection, Down", kCombo, Qt::Key_Down, [&] { fillCombo(-1); }, -1, [] {}},
        {"empty combo", kCombo, Qt::Key_Up, [&] { const QSignalBlocker b(combo()); combo()->clear(); }, -1,
         [&] { EXPECT_EQ(combo()->currentIndex(), -1); }},
        {"combo Left moves to the previous control", kCombo, Qt::Key_Left, [&] { fillCombo(1); }, 1, [] {}},
        {"edit Left at caret 0", kEdit, Qt::Key_Left, [&] { setEdit(0, 0); }, 1, [] {}},
        {"edit Left with a selection from 0 stays", kEdit, Qt::Key_Left, [&] { setEdit(0, 2); }, -1, [] {}},
        {"edit Left in the text stays", kEdit, Qt::Key_Left, [&] { setEdit(3, 0); }, -1,
         [&] { EXPECT_EQ(edit()->cursorPosition(), 2); }},
        {"edit Right at the end", kEdit, Qt::Key_Right, [&] { setEdit(5, 0); }, 0, [] {}},
        {"edit Right in the text stays", kEdit, Qt::Key_Right, [&] { setEdit(2, 0); }, -1,
         [&] { EXPECT_EQ(edit()->cursorPosition(), 3); }},
        {"edit Right with a selection up to the end stays", kEdit, Qt::Key_Right, [&] { setEdit(3, 2); }, -1,
         [] {}},
        {"edit Up", kEdit, Qt::Key_Up, [&] { setEdit(2, 0); }, 1, [] {}},
        {"edit Down", kEdit, Qt::Key_Down, [&] { setEdit(2, 0); }, 0, [] {}},
        {"push button Up", kPush, Qt::Key_Up, [] {}, 1, [] {}},
        {"push button Down", kPush, Qt::Key_Down, [] {}, 0, [] {}},
        {"push button Left", kPush, Qt::Key_Left, [] {}, 1, [] {}},
        {"push button Right", kPush, Qt::Key_Right, [] {}, 0, [] {}},
        {"default push button Up", kDefPush, Qt::Key_Up, [] {}, 1, [] {}},
        {"radio button Up", kRadioB, Qt::Key_Up, [] {}, -1, [] {}},
        {"radio button Down", kRadioA, Qt::Key_Down, [] {}, -1, [] {}},
        {"radio button Right", kRadioA, Qt::Key_Right, [] {}, -1, [] {}},
        {"plain radio button Left", kPlainRadio, Qt::Key_Left, [] {}, -1, [] {}},
        {"list box Up", kList, Qt::Key_Up, [] {}, 1, [] {}},
        {"list box Right", kList, Qt::Key_Right, [] {}, 0, [] {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.setup();
        notices = 0;
        press(c.id, c.key);
        if (c.expectNext < 0) {
            EXPECT_TRUE(page->nextCtl.empty());
        } else {
            EXPECT_EQ(page->nextCtl, std::vector<WPARAM>{WPARAM(c.expectNext)});
        }
        c.check();
        if (c.id == kCombo && c.expectNext < 0 && std::string(c.name).find("wraps") != std::string::npos) {
            EXPECT_EQ(notices, 0) << "a wrap is set directly, without a selection-change notification";
        }
    }
}

TEST_F(Keypad, NextControlMessageMovesTheFocus)
{
    press(kPush, Qt::Key_Down);
    ASSERT_EQ(page->nextCtl, std::vector<WPARAM>{0});
    EXPECT_NE(QApplication::focusWidget(), item(kPush));
    QWidget* after = QApplication::focusWidget();
    after->setFocus();
    page->SendMessage(WM_NEXTDLGCTL, 1, 0);
    EXPECT_EQ(QApplication::focusWidget(), item(kPush));
}

TEST_F(Keypad, TabStripWrapsAndSwitchesThePageWithoutNotifying)
{
    CMyTabCtrl& t = page->tabs;
    ASSERT_EQ(t.m_nCurPage, 0);
    press(kTabs, Qt::Key_Left);
    EXPECT_EQ(t.GetCurFocus(), 2);
    EXPECT_EQ(t.m_nCurPage, 2);
    EXPECT_TRUE(t.PageAt(2)->isVisible());
    EXPECT_TRUE(t.PageAt(0)->isHidden());
    EXPECT_EQ(QApplication::focusWidget(), t.PageAt(2)) << "the new page takes the keyboard focus";

    press(kTabs, Qt::Key_Right);
    EXPECT_EQ(t.GetCurFocus(), 0);
    EXPECT_EQ(t.m_nCurPage, 0);
    press(kTabs, Qt::Key_Right);
    EXPECT_EQ(t.m_nCurPage, 1);
    EXPECT_TRUE(page->nextCtl.empty());
    EXPECT_TRUE(messageLog().empty()) << "keypad switches send no page-changed notification";
    // Exactly one page shows.
    EXPECT_TRUE(t.PageAt(0)->isHidden());
    EXPECT_TRUE(t.PageAt(2)->isHidden());
}

TEST_F(Keypad, EnterAndEscapeBecomeViewCommands)
{
    press(kPush, Qt::Key_Return);
    press(kEdit, Qt::Key_Escape);
    ASSERT_EQ(view.commands.size(), 2u);
    EXPECT_EQ(view.commands[0], (std::pair<WPARAM, LPARAM>{1142, LPARAM(enterButton)}));
    EXPECT_EQ(view.commands[1], (std::pair<WPARAM, LPARAM>{1001, LPARAM(escButton)}));
    EXPECT_TRUE(page->commands.empty()) << "the page itself never sees the key";

    // Without the control in the view the command still goes, with no control attached.
    delete escButton;
    view.commands.clear();
    press(kEdit, Qt::Key_Escape);
    EXPECT_EQ(view.commands, (std::vector<std::pair<WPARAM, LPARAM>>{{1001, 0}}));
}

TEST_F(Keypad, EnterIsTheDialogsOwnWhenEnterCommandIsOff)
{
    page->m_bEnterCommand = FALSE;
    press(kPush, Qt::Key_Return);
    EXPECT_TRUE(view.commands.empty());
    EXPECT_EQ(page->commands, std::vector<WPARAM>{WPARAM(kPush)}) << "the focused button was pressed";
}

TEST_F(Keypad, WithoutAViewEveryKeyIsTheDialogsOwn)
{
    CMyDialog::m_pView = nullptr;
    press(kPush, Qt::Key_Down);
    press(kEdit, Qt::Key_Left);
    press(kPush, Qt::Key_Return);
    EXPECT_TRUE(page->nextCtl.empty());
    EXPECT_TRUE(view.commands.empty());
    MSG up{item(kPush), WM_KEYDOWN, VK_UP, 0};
    EXPECT_EQ(page->PreTranslateMessage(&up), FALSE);
}
