// The receiver parameter page and the NMEA output page inside the main window, driven with real taps
// and keys, against the simulated receiver on its pseudo-terminal (timers run ten times faster).

#include "SimWindowFixture.h"
#include "TabTap.h"

#include "app/Pages.h"
#include "app/StavoApp.h"
#include "app/StavoDlg.h"
#include "res/Resources.h"
#include "res/resource.h"

#include "receiver/CellCombo.h"
#include "receiver/CellEdit.h"

#include "platform/Clock.h"
#include "platform/KeyRouter.h"
#include "platform/MessageBox.h"

#include "wirra/CSIFormat.h"
#include "wirra/TrimblePort.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <gtest/gtest.h>

using namespace platform;

namespace {

const char* const kFirstFill[9] = {"Tarvo OEM", "9600", "WAAS", "5", "AUTO", "LONG", "NEVER", "1575.420", "1800"};

class ReceiverPages : public SimWindowFixture {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(StartSim({QStringLiteral("--baud"), QStringLiteral("9600"), QStringLiteral("--seed"),
                                          QStringLiteral("5"), QStringLiteral("--time-scale"), QStringLiteral("10")}));
        ASSERT_NO_FATAL_FAILURE(StartWindow());
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_dlg.get()));
        m_page = dynamic_cast<CGPSStatusDlg*>(m_dlg->Page(stavo::PAGE_STATUS));
        m_nmea = dynamic_cast<CCsiCmdsSendDlg*>(m_dlg->Page(stavo::PAGE_COMMANDS));
        ASSERT_NE(m_page, nullptr);
        ASSERT_NE(m_nmea, nullptr);
    }
    CParamListCtrl& list() { return m_page->m_list; }
    QString cell(int row) { return list().GetItemText(row, 1); }
    QStringList rows()
    {
        QStringList out;
        for (int r = 0; r < 9; ++r)
            out << cell(r);
        return out;
    }
    bool filledWith(const std::map<int, const char*>& expected)
    {
        for (const auto& [row, text] : expected)
            if (cell(row) != QString::fromLatin1(text))
                return false;
        return true;
    }
    void tapCell(int row)
    {
        QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, list().GetCellRect(row, 1, true).center());
        QTest::qWait(20);
    }
    void key(int k, Qt::KeyboardModifiers mods = {})
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(k), mods);
        QTest::qWait(20);
    }
    void tapTab(int index) { ASSERT_TRUE(TapTab(m_dlg->m_tab, index)); }
    void click(QWidget* w)
    {
        ASSERT_NE(w, nullptr);
        QTest::mouseClick(w, Qt::LeftButton);
    }
    // Indices in the simulator's log of each text, in order, each after the previous; empty when one
    // is missing.
    std::vector<std::size_t> inOrder(const std::vector<QString>& texts, std::size_t from = 0)
    {
        std::vector<std::size_t> at;
        for (const QString& t : texts) {
            std::size_t i = 0;
            if (!m_sim->find(t, &i, from))
                return {};
            at.push_back(i);
            from = i + 1;
        }
        return at;
    }
    // The main window has switched the receiver's outputs on and the page has filled its rows.
    // Commands the simulated receiver refused since a log position.
    int refusedSince(std::size_t from)
    {
        int n = 0;
        const auto all = m_sim->lines();
        for (std::size_t i = from; i < all.size(); ++i)
            n += all[i].text.startsWith(QStringLiteral("IGNORED"));
        return n;
    }
    void waitForFirstFill()
    {
        ASSERT_TRUE(WaitUntil([&] { return m_dlg->HasTimer(stavo::TIMER_DATA_WATCH); }, 20000)) << m_sim->dump();
        ASSERT_TRUE(WaitUntil([&] { return cell(1) == QStringLiteral("9600"); }, 20000))
            << qPrintable(rows().join(QLatin1Char('|'))) << m_sim->dump();
        // Quiet from here on: the receiver has read (and logged) the last command of the output
        // initialisation, its question is answered, and the page's query cycle is over. A loaded
        // receiver lags behind the writes, so a test that counts commands must not start earlier.
        ASSERT_TRUE(WaitUntil([&] {
            return inOrder({QStringLiteral("$JASC,GPRMC,1"), QStringLiteral("$JSHOW")}).size() == 2 &&
                   m_dlg->m_pDecoder->m_nJshowAnswered && !m_page->HasTimer(CGPSStatusDlg::TIMER_QUERY) &&
                   !m_page->HasTimer(CGPSStatusDlg::TIMER_FILL);
        })) << m_sim->dump();
    }

    CGPSStatusDlg* m_page = nullptr;
    CCsiCmdsSendDlg* m_nmea = nullptr;
};

} // namespace

TEST_F(ReceiverPages, FirstFillComesFromTheStatusReport)
{
    // Before any answer the cells are empty; the labels and the read-only marks are the page's.
    EXPECT_EQ(list().GetItemText(2, 0), QStringLiteral("差分模式"));
    EXPECT_EQ(list().GetItemText(8, 0), QStringLiteral("最大差分间隔(秒)"));
    for (int r = 0; r < 9; ++r)
        EXPECT_EQ(bool(list().IsCellReadOnly(r, 1)), r < 2 || r > 5) << r;
    EXPECT_EQ(list().GetColumnWidth(0) + list().GetColumnWidth(1), list().width() - 10);
    waitForFirstFill();
    QStringList expected;
    for (const char* t : kFirstFill)
        expected << QString::fromLatin1(t);
    EXPECT_EQ(rows(), expected);
    EXPECT_EQ(m_page->m_btnSet.IconDrawSize(0), QSize(32, 32));
    EXPECT_TRUE(m_page->m_btnPower.isHidden());
}

TEST_F(ReceiverPages, SetSendsTheFourCommandsInOrderAndTheNextReportShowsThem)
{
    waitForFirstFill();
    // Differential mode: the drop-down, one up from WAAS; Return goes on to the elevation mask.
    tapCell(2);
    CCellCombo* combo = CParamListCtrl::CellCombo();
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->currentText(), QStringLiteral("WAAS"));
    key(Qt::Key_Up);
    key(Qt::Key_Return);
    CCellEdit* edit = CParamListCtrl::CellEdit();
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->m_nRow, 3);
    QTest::keyClicks(edit, QStringLiteral("12"));
    key(Qt::Key_Return); // on to the dynamic mode
    ASSERT_TRUE(combo->hasFocus());
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Return); // on to the smoothing
    ASSERT_TRUE(combo->hasFocus());
    EXPECT_EQ(combo->m_nRow, 5);
    key(Qt::Key_Down);
    key(Qt::Key_Return); // the last editable cell: the edit ends
    EXPECT_EQ(rows().mid(2, 4), (QStringList{"NONE", "12", "HIGH", "SHORT"}));

    const auto before = m_sim->lines().size();
    click(&m_page->m_btnSet);
    const std::vector<QString> sent = {"$JDIFF,NONE", "$JMASK,12", "$JAIR,HIGH", "$JSMOOTH,SHORT", "$JSHOW"};
    ASSERT_TRUE(WaitUntil([&] { return inOrder(sent, before).size() == sent.size(); })) << m_sim->dump();
    EXPECT_EQ(refusedSince(before), 0) << m_sim->dump();
    // The next report carries the receiver's new settings into the decoder and the rows.
    ASSERT_TRUE(WaitUntil([&] { return m_dlg->m_pDecoder->m_nElevMask == 12; })) << m_sim->dump();
    EXPECT_EQ(m_dlg->m_pDecoder->m_nDiffMode, 0);
    EXPECT_EQ(m_dlg->m_pDecoder->m_nAirMode, 2);
    EXPECT_EQ(m_dlg->m_pDecoder->m_nSmoothing, 1);
    ASSERT_TRUE(WaitUntil([&] { return filledWith({{2, "NONE"}, {3, "12"}, {4, "HIGH"}, {5, "SHORT"}}); }));

    // A change made behind the page's back shows once another page has page 0 refresh itself.
    m_dlg->m_pPort->vWriteToPort(QStringLiteral("$JMASK,33\r\n$JDIFF,RTK\r\n"), 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return m_sim->count(QStringLiteral("$JDIFF,RTK")) == 1; }));
    m_dlg->RefreshStatusPage();
    ASSERT_TRUE(WaitUntil([&] { return filledWith({{2, "CORS"}, {3, "33"}}); })) << m_sim->dump();
    // "CORS" is shown but not offered: the drop-down has the two sources the user may choose.
    tapCell(2);
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("NONE"));
    EXPECT_EQ(combo->itemText(1), QStringLiteral("WAAS"));
    EXPECT_EQ(combo->currentIndex(), -1);
    list().setFocus();
}

TEST_F(ReceiverPages, SetCutsEachValueAtNineCharactersAndAtAControlCharacter)
{
    waitForFirstFill();
    tapCell(3);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1234567890"));
    list().setFocus();
    QTest::qWait(20);
    EXPECT_EQ(cell(3), QStringLiteral("1234567890"));
    auto before = m_sim->lines().size();
    click(&m_page->m_btnSet);
    ASSERT_TRUE(WaitUntil([&] { return !inOrder({"$JSMOOTH,LONG"}, before).empty(); })) << m_sim->dump();
    EXPECT_EQ(inOrder({"$JDIFF,WAAS", "$JMASK,123456789", "$JAIR,AUTO", "$JSMOOTH,LONG"}, before).size(), 4u)
        << m_sim->dump();
    // The receiver refused a mask that large; once the page has read it back the cell shows its 5.
    ASSERT_TRUE(WaitUntil([&] {
        return !m_page->HasTimer(CGPSStatusDlg::TIMER_QUERY) && !m_page->HasTimer(CGPSStatusDlg::TIMER_FILL) &&
               m_dlg->m_pDecoder->m_nJshowAnswered && cell(3) == QStringLiteral("5");
    })) << m_sim->dump();

    // A paste is not filtered: a line break in it must not start a second command.
    tapCell(3);
    QApplication::clipboard()->setText(QStringLiteral("7\r\n$JOFF"));
    key(Qt::Key_V, Qt::ControlModifier);
    list().setFocus();
    QTest::qWait(20);
    ASSERT_TRUE(cell(3).startsWith(QStringLiteral("7")));
    before = m_sim->lines().size();
    click(&m_page->m_btnSet);
    ASSERT_TRUE(WaitUntil([&] { return !inOrder({"$JSMOOTH,LONG"}, before).empty(); })) << m_sim->dump();
    EXPECT_EQ(inOrder({"$JDIFF,WAAS", "$JMASK,7", "$JAIR,AUTO", "$JSMOOTH,LONG"}, before).size(), 4u)
        << m_sim->dump();
    EXPECT_TRUE(inOrder({"$JOFF"}, before).empty()) << m_sim->dump();
    // The cut itself, for every kind of control character.
    EXPECT_EQ(CGPSStatusDlg::CommandValue(QStringLiteral("5\n$JOFF")), QStringLiteral("5"));
    EXPECT_EQ(CGPSStatusDlg::CommandValue(QStringLiteral("AU\tTO")), QStringLiteral("AU"));
    EXPECT_EQ(CGPSStatusDlg::CommandValue(QStringLiteral("ABCDEFGHIJK")), QStringLiteral("ABCDEFGHI"));
    EXPECT_EQ(CGPSStatusDlg::CommandValue(QStringLiteral("12345678\U0001F600")), QStringLiteral("12345678"));
}

TEST_F(ReceiverPages, FactoryResetAsksFirstAndSendsTheDefaultsInOneWrite)
{
    waitForFirstFill();
    {
        Answers no({IDNO});
        const auto before = m_sim->lines().size();
        click(m_page->GetDlgItem(IDC_FACTORY_RESET));
        ASSERT_EQ(MessageBoxLog().size(), 1u);
        EXPECT_EQ(MessageBoxLog()[0].text, QStringLiteral("确定将GPS接收机状态恢复为出厂默认设置？"));
        EXPECT_EQ(MessageBoxLog()[0].type, MB_YESNO | MB_ICONQUESTION);
        EXPECT_FALSE(m_page->HasTimer(CGPSStatusDlg::TIMER_QUERY));
        QTest::qWait(300);
        EXPECT_EQ(m_sim->lines().size(), before) << m_sim->dump();
    }
    // Change the receiver first, so that the reset has something to undo.
    m_dlg->m_pPort->vWriteToPort(QStringLiteral("$JDIFF,NONE\r\n$JMASK,20\r\n$JAIR,LOW\r\n"), 0, 0);
    m_dlg->RefreshStatusPage();
    ASSERT_TRUE(WaitUntil([&] { return filledWith({{2, "NONE"}, {3, "20"}, {4, "LOW"}}); })) << m_sim->dump();
    Answers yes({IDYES});
    const auto before = m_sim->lines().size();
    click(m_page->GetDlgItem(IDC_FACTORY_RESET));
    const std::vector<QString> sent = {"$JBAUD,19200,OTHER", "$JDIFF,WAAS", "$JMASK,5", "$JAIR,AUTO",
                                       "$JSMOOTH,LONG"};
    ASSERT_TRUE(WaitUntil([&] { return inOrder(sent, before).size() == sent.size(); })) << m_sim->dump();
    EXPECT_EQ(refusedSince(before), 0) << m_sim->dump();
    ASSERT_TRUE(WaitUntil([&] { return filledWith({{2, "WAAS"}, {3, "5"}, {4, "AUTO"}, {5, "LONG"}}); }))
        << m_sim->dump();
}

TEST_F(ReceiverPages, ASilentReceiverIsAskedOnceASecondWithoutEnd)
{
    waitForFirstFill();
    const QStringList filled = rows();
    m_sim->signal(SIGUSR1);
    QTest::qWait(200);
    const auto before = m_sim->lines().size();
    QElapsedTimer clock;
    clock.start();
    click(m_page->GetDlgItem(IDC_REFRESH));
    // Each fill timer finds no answer, asks again and looks again a second (scaled to 0.1 s) later:
    // the questions keep coming, and never faster than that.
    auto asked = [&] {
        int n = 0;
        const auto all = m_sim->lines();
        for (std::size_t i = before; i < all.size(); ++i)
            n += all[i].text == QStringLiteral("$JSHOW");
        return n;
    };
    ASSERT_TRUE(WaitUntil([&] { return asked() >= 6; }, 30000)) << m_sim->dump();
    const double seconds = double(clock.elapsed()) / 1000.0;
    EXPECT_LE(asked(), 3 + int(seconds / 0.1)) << seconds << " s\n" << m_sim->dump();
    EXPECT_TRUE(m_page->HasTimer(CGPSStatusDlg::TIMER_FILL));
    EXPECT_EQ(rows(), filled) << "the cells keep what they showed";
    m_sim->signal(SIGUSR2);
}

TEST_F(ReceiverPages, ExitGoesThroughTheMainWindowsQuestion)
{
    Answers no({IDNO});
    click(m_page->GetDlgItem(IDC_PAGE_EXIT));
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, QStringLiteral("确定退出程序？"));
    EXPECT_TRUE(m_dlg->isVisible());
}

TEST_F(ReceiverPages, NmeaDefaultSetTickedSetAndTheReceiversOtherPort)
{
    waitForFirstFill();
    tapTab(stavo::PAGE_COMMANDS);
    ASSERT_TRUE(m_nmea->isVisible());
    auto box = [&](int i) { return qobject_cast<QAbstractButton*>(m_nmea->GetDlgItem(CCsiCmdsSendDlg::kTable[i].controlId)); };
    auto ticked = [&] {
        QStringList on;
        for (int i = 0; i < CCsiCmdsSendDlg::kSentences; ++i)
            if (box(i)->isChecked())
                on << QString::fromLatin1(CCsiCmdsSendDlg::kTable[i].name);
        return on;
    };
    EXPECT_EQ(ticked(), QStringList()) << "the receiver's other port puts out nothing yet";

    auto before = m_sim->lines().size();
    click(m_nmea->GetDlgItem(IDC_DEFAULT_OUTPUT));
    const QStringList defaults{"GPGGA", "GPGSV", "GPGST", "GPVTG"};
    EXPECT_EQ(ticked(), defaults);
    std::vector<QString> sent;
    for (const auto& s : CCsiCmdsSendDlg::kTable)
        sent.push_back(QStringLiteral("$JASC,%1,%2,OTHER").arg(QLatin1String(s.name)).arg(s.defaultOn ? 1 : 0));
    ASSERT_TRUE(WaitUntil([&] { return inOrder(sent, before).size() == sent.size(); })) << m_sim->dump();

    // What the receiver now reports for its other port is what the page shows on opening. The table
    // is emptied first, so whatever it holds afterwards came from a report.
    auto reportedOn = [&] {
        QStringList on;
        for (const auto& [name, rate] : m_dlg->m_pDecoder->m_mapRates)
            if (rate > 0)
                on << QString::fromStdString(name);
        return on;
    };
    auto reopenFromReceiver = [&](const QStringList& expected) {
        m_dlg->m_pDecoder->m_mapRates.clear();
        m_dlg->RefreshStatusPage();
        EXPECT_TRUE(WaitUntil([&] {
            QStringList on = reportedOn();
            on.sort();
            return on == expected;
        })) << qPrintable(reportedOn().join(QLatin1Char(','))) << m_sim->dump();
        tapTab(stavo::PAGE_STATUS);
        tapTab(stavo::PAGE_COMMANDS);
    };
    reopenFromReceiver({"GPGGA", "GPGST", "GPGSV", "GPVTG"});
    EXPECT_EQ(ticked(), defaults);

    // Untick GPGGA, tick GPZDA and apply: rates 0.0 and 1.0, one write, all twelve.
    click(box(0));
    click(box(11));
    before = m_sim->lines().size();
    click(m_nmea->GetDlgItem(IDC_SEND_OUTPUT));
    double rate = -1;
    EXPECT_TRUE(m_dlg->m_pDecoder->bLookupRate("GPZDA", &rate));
    EXPECT_EQ(rate, 1.0);
    ASSERT_TRUE(WaitUntil([&] { return !inOrder({"$JASC,GPZDA,1.0,OTHER"}, before).empty(); })) << m_sim->dump();
    EXPECT_EQ(inOrder({"$JASC,GPGGA,0.0,OTHER", "$JASC,GPGSV,1.0,OTHER", "$JASC,GPGSA,0.0,OTHER",
                       "$JASC,GPGST,1.0,OTHER", "$JASC,GPVTG,1.0,OTHER", "$JASC,GPZDA,1.0,OTHER"},
                      before)
                  .size(),
              6u)
        << m_sim->dump();
    const QStringList applied{"GPGST", "GPGSV", "GPVTG", "GPZDA"};
    reopenFromReceiver(applied);
    EXPECT_EQ(ticked(), (QStringList{"GPGSV", "GPGST", "GPVTG", "GPZDA"}));
}
