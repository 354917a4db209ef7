// The numeric edit box: every kind's text, its reading back, the typing filter with real keys, and
// the focus rules with real focus changes.

#include "TesselTestSupport.h"

#include <tessel/NumEdit.h>

#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QVBoxLayout>

#include <cmath>

#include <gtest/gtest.h>

using namespace tesseltest;

namespace {

// A box and a neighbour to move the focus to, in an active window.
struct Form {
    QWidget window;
    CNumEdit* box;
    QLineEdit* other;
    explicit Form(int kind)
    {
        auto* layout = new QVBoxLayout(&window);
        box = new CNumEdit(&window);
        other = new QLineEdit(&window);
        layout->addWidget(box);
        layout->addWidget(other);
        box->m_nKind = kind;
        showActive(window);
    }
    void focusBox()
    {
        other->setFocus();
        QTest::keyClick(other, Qt::Key_Backtab);
    }
    void leaveBox() { QTest::keyClick(box, Qt::Key_Tab); }
};

} // namespace

TEST(NumEdit, EveryKindWritesItsText)
{
    struct Case {
        int kind;
        double value;
        const char* text;
    };
    const Case cases[] = {
        {0, 12.5, "12.500000"},
        {18, 12.5, "12.500000"},
        {10, -1.25, "-1.250000"},
        {1, 0.5, "28°38'52.40312\""},
        {1, -0.5, "-28°38'52.40312\""},
        {1, 0.001, "0°3'26.26481\""},
        // Minutes that round up to a whole leave a sliver of negative seconds: not a negative angle.
        {1, (30.5 - 1e-9) / 57.29577951308232, "30°30' 0.00000\""},
        {11, (30.5 - 1e-9) / 57.29577951308232, "30°30'00.00000\"N"},
        {13, 0.5, "28°38'52.403124\""},
        {16, 2.0, "114°35'29.6124941927246\""},
        {8, 1.0, "57°17'45\""},
        {8, -0.5, "331°21'8\""}, // a negative angle goes once round first
        {11, -0.5, "28°38'52.40312\"S"},
        {11, 0.001, "00°03'26.26481\"N"},
        {12, 2.0, "114°35'29.61249\"E"},
        {12, -0.001, "000°03'26.26481\"W"},
        {2, 1234.5678, "1+234.568"},
        {2, 999.9995, "1+-0.000"}, // the 0.001 allowance moves it to the next kilometre
        {3, 0.002, "1:500.000"},
        {4, 0.002, "500.000:1"},
        {5, 0.125, "12.500%"},
        {6, 1.23456, "1.235"},
        {7, -3.9, "-3"},
        {9, 2.26, "2.3"},
        {14, 1.0 / 3, "0.3333333333"},
        {15, 0.5, "0.5000000000000000000000"},
        {17, 1.5, "1.5000"},
        // Values that are not finite or do not fit the format's integers show no value.
        {0, HUGE_VAL, "?"},
        {7, 1e10, "?"},
        {7, -1e10, "?"},
        {2, 1e300, "?"},
        {1, 1e300, "?"},
        {11, NAN, "?"},
        {3, 0.0, "?"},
        {5, 1e307, "?"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CNumEdit::strFormat(c.kind, c.value), QString::fromUtf8(c.text)) << c.kind << " " << c.value;

    // The member writers agree with the kinds, and the latitude example of the handheld's manual.
    CNumEdit box;
    box.vSetValueLatitude(-0.5);
    EXPECT_EQ(box.text(), QStringLiteral("28°38'52.40312\"S"));
    EXPECT_NEAR(box.dGetValueR(), -0.5, 1e-9);
    box.vSetValueRadInt(1.0);
    EXPECT_EQ(box.text(), QStringLiteral("57°17'45\""));
    box.SetValue(7);
    EXPECT_EQ(box.text(), QStringLiteral("7"));
    box.SetValue3(2.0);
    EXPECT_EQ(box.text(), QStringLiteral("2.000"));
}

TEST(NumEdit, EveryKindReadsBackWhatItWrote)
{
    const double values[] = {0.7, -0.3, 1.25, 0.002};
    for (int kind = 0; kind <= 18; ++kind) {
        if (kind == 8)
            continue; // whole seconds only: checked below with its rounding
        for (double v : values) {
            if ((kind == 11 && std::fabs(v) > 1.5) || kind == 7)
                continue;
            const QString text = CNumEdit::strFormat(kind, v);
            const double back = CNumEdit::dGetValueAll(kind, text);
            // The text keeps as many decimals as its format: the tolerance follows it.
            const double tolerance = kind == 9 ? 0.0501 : kind == 3 || kind == 4 ? v * v * 1e-3 : 1e-6;
            EXPECT_NEAR(back, v, tolerance) << "kind " << kind << " text " << qPrintable(text);
        }
    }
    EXPECT_NEAR(CNumEdit::dGetValueAll(8, CNumEdit::strFormat(8, 1.0)), 1.0, 1.0 / 206264.8);
    EXPECT_EQ(CNumEdit::dGetValueAll(7, CNumEdit::strFormat(7, -3.9)), -3.0);
}

TEST(NumEdit, ParsersReadTheHandheldForms)
{
    struct Case {
        const char* text;
        double (*parse)(const QString&);
        double expected;
    };
    const double deg = 0.017453292519943295;
    const Case cases[] = {
        {"12.5abc", CNumEdit::dGetValue, 12.5},
        {"  -3e2x", CNumEdit::dGetValue, -300},
        {"abc", CNumEdit::dGetValue, 0},
        {"inf", CNumEdit::dGetValue, 0},  // only decimal numbers are read
        {"0x10", CNumEdit::dGetValue, 0},
        {"?", CNumEdit::dGetValueR, 0},
        {"", CNumEdit::dGetValueR, 0},
        {"30.3015", CNumEdit::dGetValueR, (30 + 30 / 60.0 + 15 / 3600.0) * deg}, // packed d.mmss
        {"-30.3015", CNumEdit::dGetValueR, -(30 + 30 / 60.0 + 15 / 3600.0) * deg},
        {"30°30'15\"", CNumEdit::dGetValueR, (30 + 30 / 60.0 + 15 / 3600.0) * deg},
        {"-30°30'15\"", CNumEdit::dGetValueR, -(30 + 30 / 60.0 + 15 / 3600.0) * deg},
        {"30°75'15\"", CNumEdit::dGetValueR, (30 + 15 / 3600.0) * deg}, // minutes out of range count 0
        {"30°30'-15\"", CNumEdit::dGetValueR, (30 + 30 / 60.0) * deg},  // seconds only when above 0
        {"30°30'15\"W", CNumEdit::dGetValueR, -(30 + 30 / 60.0 + 15 / 3600.0) * deg},
        {"x°30'", CNumEdit::dGetValueR, 0},
        {"1:500", CNumEdit::dGetValueRatio1, 0.002},
        {"500", CNumEdit::dGetValueRatio1, 0.002},
        {"500:1", CNumEdit::dGetValueRatio2, 0.002},
        {"12.5%", CNumEdit::dGetValuePercent, 0.125},
        {"12.5", CNumEdit::dGetValuePercent, 12.5},
        {"1+234.5", CNumEdit::dGetValueChainage, 1234.5},
        {"+234.5", CNumEdit::dGetValueChainage, 234.5},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(c.parse(QString::fromUtf8(c.text)), c.expected, 1e-12) << c.text;
    // Degrees beyond any integer read as an angle out of range, never as a wrapped number.
    EXPECT_FALSE(std::isfinite(CNumEdit::dGetValueR(QStringLiteral("99999999999°"))));
    EXPECT_FALSE(std::isfinite(CNumEdit::dGetValue(QStringLiteral("1e999"))));
}

TEST(NumEdit, TypingFilterWithRealKeys)
{
    struct Case {
        int kind;
        const char* before;
        int caret;       // -1: the whole text selected
        const char* typed;
        const char* after;
    };
    const Case cases[] = {
        {0, "12", 1, "-", "12"},      // a sign in the middle
        {0, "", 0, "-", "-"},         // at the start of an empty box
        {0, "12", 0, "-", "-12"},     // before a number without a sign
        {0, "-12", 0, "-", "-12"},    // not a second one
        {0, "-12", -1, "-", "-"},     // over the whole text
        {0, "1e", 2, "-", "1e-"},     // the exponent's sign
        {0, "1.5", 3, ".", "1.5"},    // a second point
        {0, "1e5", 3, ".", "1e5"},    // a point after the exponent
        {0, "15", 1, ".", "1.5"},
        {0, "", 0, "e", ""},          // an exponent needs a number before it
        {0, "-", 1, "e", "-"},
        {0, "1e5", 3, "E", "1e5"},
        {0, "12", 2, "e", "12e"},
        {0, "12", 2, "x", "12"},      // letters are dropped
        {0, "12", 2, "+", "12+"},     // other characters pass
        {0, "12", 2, "°", "12°"},
        {10, "12", 1, "x-.", "1x-.2"}, // free text
    };
    for (const Case& c : cases) {
        Form f(c.kind);
        f.box->setText(QString::fromUtf8(c.before));
        f.box->setFocus();
        if (c.caret < 0)
            f.box->selectAll();
        else
            f.box->setCursorPosition(c.caret);
        for (const QChar ch : QString::fromUtf8(c.typed))
            QTest::keyClicks(f.box, QString(ch));
        EXPECT_EQ(f.box->text(), QString::fromUtf8(c.after)) << c.before << " + " << c.typed;
    }
    // Backspace always passes.
    Form f(0);
    f.box->setText(QStringLiteral("1e"));
    f.box->setFocus();
    f.box->setCursorPosition(2);
    QTest::keyClick(f.box, Qt::Key_Backspace);
    EXPECT_EQ(f.box->text(), QStringLiteral("1"));
}

TEST(NumEdit, FocusRules)
{
    struct Case {
        int kind;
        const char* before;
        const char* afterLeaving;
    };
    const Case cases[] = {
        {0, "12.5", "12.500000"},
        {0, "", "?"},
        {0, "<计算>", "<计算>"},
        {0, "<Calcd>", "<Calcd>"},
        {0, "abc", "0.000000"},
        {7, "1e999", "?"},         // no integer holds it
        {0, "1e999", "?"},
        {11, "95°00'00\"N", "?"},   // beyond a quarter turn
        {11, "45.3", "45°30'00.00000\"N"},
        {12, "190", "?"},
        {12, "-120.15", "120°15'00.00000\"W"},
        {8, "-400.3", "319°30'0\""},   // more than a turn below zero: still an angle that reads back
        {5, "12.5%", "12.500%"},
        {10, "", ""},              // free text stays as it is, empty too
        {10, "abc", "abc"},
    };
    for (const Case& c : cases) {
        Form f(c.kind);
        f.box->setText(QString::fromUtf8(c.before));
        f.focusBox();
        ASSERT_TRUE(f.box->hasFocus());
        f.leaveBox();
        ASSERT_FALSE(f.box->hasFocus());
        EXPECT_EQ(f.box->text(), QString::fromUtf8(c.afterLeaving)) << c.kind << " " << c.before;
    }
    // Entering a box that shows "?" clears it.
    Form f(0);
    f.box->setText(QStringLiteral("?"));
    f.focusBox();
    EXPECT_EQ(f.box->text(), QString());
    QTest::keyClicks(f.box, QStringLiteral("3"));
    f.leaveBox();
    EXPECT_EQ(f.box->text(), QStringLiteral("3.000000"));
}

TEST(NumEdit, TextFromAnInputMethodIsFilteredLikeKeys)
{
    // A virtual keyboard or a composing input method hands over committed text, not keys.
    struct Case {
        int kind;
        const char* committed;
        const char* after;
    };
    const Case cases[] = {
        {0, "1a.5一e", "1.5e"},
        {0, "-1-", "-1"},
        {10, "1a一", "1a一"},
    };
    for (const Case& c : cases) {
        Form f(c.kind);
        f.box->setFocus();
        QInputMethodEvent commit;
        commit.setCommitString(QString::fromUtf8(c.committed));
        QApplication::sendEvent(f.box, &commit);
        EXPECT_EQ(f.box->text(), QString::fromUtf8(c.after)) << c.committed;
    }
}

TEST(NumEdit, ItsOwnContextMenuIsNotAFocusLoss)
{
    Form f(0);
    f.focusBox();
    f.box->setText(QStringLiteral("12.5"));
    f.box->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("old"));
    // A right tap on the box, through the window as the user's would come.
    QTest::mouseClick(f.window.windowHandle(), Qt::RightButton, {}, f.box->geometry().center());
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(f.box->text(), QStringLiteral("12.5")) << "not re-written while the menu is up";
    QAction* copy = nullptr;
    for (QAction* a : menu->actions())
        if (a->text().contains(QStringLiteral("Copy")))
            copy = a;
    ASSERT_NE(copy, nullptr);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(copy).center());
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("12.5")) << "the selection was still there to copy";
    ASSERT_TRUE(f.box->hasFocus());
    f.leaveBox();
    EXPECT_EQ(f.box->text(), QStringLiteral("12.500000"));
}
