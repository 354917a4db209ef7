// Dialogs built from templates: dialog units, control binding, commands, key pre-translation.

#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "platform/DialogTemplate.h"
#include "platform/KeyRouter.h"
#include "platform/Screen.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace platform;

namespace {

void addTestTemplate()
{
    DialogTemplate t;
    t.id = 9001;
    t.w = 162;
    t.h = 180;
    t.child = false;
    t.controls = {
        {1000, ControlKind::TabControl, QString(), 0, 0, 162, 148, WS_VISIBLE},
        {-1, ControlKind::Static, QStringLiteral("N:"), 3, 148, 10, 9, WS_VISIBLE},
        {1003, ControlKind::Static, QStringLiteral("--"), 17, 148, 73, 8, WS_VISIBLE | SS_RIGHT},
        {1010, ControlKind::Edit, QString(), 3, 100, 50, 12, WS_VISIBLE | WS_TABSTOP},
        {1011, ControlKind::Button, QStringLiteral("Go"), 60, 100, 40, 14, WS_VISIBLE | WS_TABSTOP},
        {1012, ControlKind::ComboBox, QString(), 60, 120, 60, 53, WS_VISIBLE | WS_TABSTOP},
    };
    AddDialogTemplate(t);
}

class TestDialog : public Dialog {
public:
    TestDialog() : Dialog(9001) {}
    QLabel bound;
    std::vector<std::pair<WPARAM, LPARAM>> commands;
    BOOL OnInitDialog() override
    {
        Dialog::OnInitDialog();
        return TRUE;
    }
    void DoDataExchange(bool) override { DDX_Control(1003, bound); }
    BOOL OnCommand(WPARAM w, LPARAM l) override
    {
        commands.push_back({w, l});
        return Dialog::OnCommand(w, l);
    }
    using Dialog::Create;
};

// Builds the test dialog, shows it and makes it the active window (so keys reach its focus).
bool showActive(TestDialog& d)
{
    addTestTemplate();
    d.Create(9001, nullptr);
    d.show();
    QApplication::setActiveWindow(&d);
    return QTest::qWaitForWindowActive(&d);
}

} // namespace

TEST(DialogUnits, TemplateFontAt192DpiFillsTheHandheldWidth)
{
    Screen::setDpi(192);
    // 12 x 27 pixels: template 102's 162 dialog units then span the 480-pixel screen.
    EXPECT_EQ(DialogBaseUnits(QStringLiteral("MS Shell Dlg"), 9), QSize(12, 27));
    Screen::setDpi(96);
    EXPECT_EQ(DialogBaseUnits(QStringLiteral("MS Shell Dlg"), 8), QSize(5, 12));
    Screen::setDpi(192);
    const QRect r = MapDialogRect(QRect(0, 0, 162, 148), QSize(12, 27));
    EXPECT_EQ(r, QRect(0, 0, 486, 499));
    EXPECT_EQ(MapDialogRect(QRect(17, 148, 73, 8), QSize(12, 27)), QRect(51, 499, 219, 27));
}

TEST(Dialogs, BindingReplacesTheTemplateControlKeepingItsPlace)
{
    addTestTemplate();
    TestDialog d;
    d.Create(9001, nullptr);
    ASSERT_EQ(d.GetDlgItem(1003), &d.bound);
    EXPECT_EQ(d.bound.text(), QStringLiteral("--"));
    EXPECT_EQ(GetStyle(&d.bound) & SS_RIGHT, SS_RIGHT);
    const QSize base = DialogBaseUnits(QStringLiteral("MS Shell Dlg"), 9);
    EXPECT_EQ(d.bound.geometry(), MapDialogRect(QRect(17, 148, 73, 8), base));
    EXPECT_EQ(GetClassName(d.GetDlgItem(1010)), QStringLiteral("Edit"));
    EXPECT_EQ(GetClassName(d.GetDlgItem(1011)), QStringLiteral("Button"));
    // Only one control carries the id after binding.
    int withId = 0;
    for (QWidget* c : d.findChildren<QWidget*>())
        withId += GetDlgCtrlID(c) == 1003;
    EXPECT_EQ(withId, 1);
}

TEST(Dialogs, ButtonsAndKeysBecomeCommands)
{
    addTestTemplate();
    TestDialog d;
    d.Create(9001, nullptr);
    d.show();
    auto* go = qobject_cast<QPushButton*>(d.GetDlgItem(1011));
    ASSERT_NE(go, nullptr);
    QTest::mouseClick(go, Qt::LeftButton);
    ASSERT_EQ(d.commands.size(), 1u);
    EXPECT_EQ(LOWORD(d.commands[0].first), 1011);
    EXPECT_EQ(HIWORD(d.commands[0].first), BN_CLICKED);

    d.GetDlgItem(1010)->setFocus();
    QTest::keyClick(d.GetDlgItem(1010), Qt::Key_Return);
    QTest::keyClick(d.GetDlgItem(1010), Qt::Key_Escape);
    ASSERT_EQ(d.commands.size(), 3u);
    EXPECT_EQ(d.commands[1].first, WPARAM(IDOK));
    EXPECT_EQ(d.commands[2].first, WPARAM(IDCANCEL));
}

TEST(KeyRouting, ApplicationHookSeesKeysFirstAndCanConsumeThem)
{
    TestDialog d;
    ASSERT_TRUE(showActive(d));
    auto* edit = qobject_cast<QLineEdit*>(d.GetDlgItem(1010));
    edit->setFocus();
    std::vector<std::pair<UINT, WPARAM>> seen;
    InstallKeyRouter([&](MSG* m) {
        seen.push_back({m->message, m->wParam});
        return m->wParam == VK_ESCAPE ? TRUE : FALSE;
    });
    QTest::keyClick(edit, Qt::Key_A);
    QTest::keyClick(edit, Qt::Key_Escape);
    SetAppPreTranslate(nullptr);
    EXPECT_EQ(edit->text(), QStringLiteral("a"));
    // Esc was consumed before the dialog could turn it into Cancel.
    EXPECT_TRUE(d.commands.empty());
    const std::vector<std::pair<UINT, WPARAM>> want = {
        {WM_KEYDOWN, 'A'}, {WM_KEYUP, 'A'}, {WM_KEYDOWN, VK_ESCAPE}, {WM_KEYUP, VK_ESCAPE}};
    EXPECT_EQ(seen, want);
}

TEST(Dialogs, FocusGivenToADialogGoesToItsFirstControl)
{
    TestDialog d;
    ASSERT_TRUE(showActive(d));
    d.setFocus();
    // The edit box is the first control that takes the keyboard focus.
    EXPECT_EQ(QApplication::focusWidget(), d.GetDlgItem(1010));
}

TEST(Dialogs, ATemplateComboBoxMadeEditableTypesInTheDialogsFont)
{
    addTestTemplate();
    TestDialog d;
    d.Create(9001, nullptr);
    auto* combo = qobject_cast<QComboBox*>(d.GetDlgItem(1012));
    ASSERT_NE(combo, nullptr);
    combo->setEditable(true);
    combo->setEditText(QStringLiteral("127.0.0.1"));
    ASSERT_NE(combo->lineEdit(), nullptr);
    const QFont dialogFont = d.font();
    EXPECT_EQ(QFontInfo(combo->lineEdit()->font()).pixelSize(), QFontInfo(dialogFont).pixelSize());
    EXPECT_EQ(QFontInfo(combo->font()).pixelSize(), QFontInfo(dialogFont).pixelSize());
}
