// The main window in the test process, on the offscreen platform, against the simulated receiver:
// start-up, tabs, hiding and restoring, the exit sequence with its questions, Esc that no control
// sees, the single-copy request, and the connection timers (run faster by the real-clock scale).

#include "SimHarness.h"
#include "TabTap.h"

#include "app/StavoApp.h"
#include "app/StavoDlg.h"
#include "app/Pages.h"
#include "app/PositionStatus.h"
#include "res/Resources.h"
#include "res/resource.h"

#include "platform/Clock.h"
#include "platform/KeyRouter.h"
#include "platform/MessageBox.h"
#include "platform/Screen.h"
#include "platform/SingleInstance.h"
#include "platform/StringTable.h"
#include "platform/TrayIcon.h"

#include "wirra/CSIFormat.h"
#include "wirra/TrimblePort.h"

#include <QApplication>
#include <QDir>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QMessageBox>
#include <QTimer>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

using namespace platform;

namespace {

// Answers every box with the next of a list (then with the box's first button) and records it.
struct Answers {
    explicit Answers(std::vector<int> list = {})
    {
        ClearMessageBoxLog();
        auto shared = std::make_shared<std::vector<int>>(std::move(list));
        SetMessageBoxResponder([shared](const MessageBoxCall& c) {
            if (shared->empty())
                return DefaultMessageBoxResult(c.type);
            const int r = shared->front();
            shared->erase(shared->begin());
            return r;
        });
    }
    ~Answers() { SetMessageBoxResponder(nullptr); }
};

// A main window running against a simulated receiver at 9600 baud.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_sim = std::make_unique<SimHarness>(QStringList{QStringLiteral("--baud"), QStringLiteral("9600"),
                                                          QStringLiteral("--seed"), QStringLiteral("3"),
                                                          QStringLiteral("--time-scale"), QStringLiteral("10")});
        ASSERT_TRUE(m_sim->ready());
        qputenv("XDG_CONFIG_HOME", m_sim->home().toUtf8());
        Clock::setRealScale(0.1);
        m_app = std::make_unique<CStavoApp>();
        ASSERT_TRUE(m_app->InitApplication());
        m_dlg = std::make_unique<CStavoDlg>();
        m_app->AttachMainWindow(m_dlg.get());
        m_dlg->Create(IDD_STAVO_DIALOG, nullptr);
        QApplication::setActiveWindow(m_dlg.get());
    }
    void TearDown() override
    {
        SetAppPreTranslate(nullptr);
        m_dlg.reset();
        m_app.reset();
        Clock::setRealScale(1.0);
        qunsetenv("XDG_CONFIG_HOME");
    }
    // Runs the event loop until pred holds or ms pass.
    template <class Pred> bool waitUntil(Pred pred, int ms = 10000)
    {
        QElapsedTimer t;
        t.start();
        while (!pred() && t.elapsed() < ms)
            QTest::qWait(10);
        return pred();
    }
    std::unique_ptr<SimHarness> m_sim;
    std::unique_ptr<CStavoApp> m_app;
    std::unique_ptr<CStavoDlg> m_dlg;
};

} // namespace

TEST_F(MainWindowTest, StartsWithSixPagesTheStatusAreaAndTheReceiverPort)
{
    CStavoDlg& d = *m_dlg;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Stavo V1.0"));
    EXPECT_EQ(d.GetProp("STAVO"), 1);
    EXPECT_EQ(d.m_eOemType, 13);
    EXPECT_NE(d.m_pDecoder, nullptr);
    ASSERT_NE(d.m_pPort, nullptr);
    EXPECT_EQ(d.m_nPortNo, 4u);
    EXPECT_EQ(d.size(), QSize(480, 640));
    EXPECT_EQ(d.m_tab.geometry(), QRect(0, 0, 480, 440));

    const char* captions[] = {"接收机状态", "星空图|信噪比", "卫星状态", "命令设置", "连接CORS", "选 项"};
    const char* classes[] = {"CGPSStatusDlg", "CSatMapSNR", "CSatChart", "CCsiCmdsSendDlg", "CLogonCORSDlg", "CStavoOption"};
    const UINT templates[] = {131, 132, 138, 139, 148, 137};
    ASSERT_EQ(d.m_tab.GetItemCount(), 6);
    ASSERT_EQ(d.m_tab.m_pages.GetSize(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(d.m_tab.GetItemText(i), QString::fromUtf8(captions[i]));
        CMyDialog* p = d.Page(i);
        ASSERT_NE(p, nullptr);
        EXPECT_STREQ(p->GetRuntimeClass()->m_lpszClassName, classes[i]);
        EXPECT_EQ(p->GetRuntimeClass()->m_pBaseClass, &CMyDialog::classCMyDialog);
        EXPECT_EQ(p->TemplateId(), templates[i]);
        EXPECT_EQ(p->parentWidget(), &d.m_tab);
        EXPECT_EQ(p->isVisibleTo(&d.m_tab), i == 0) << i;
    }
    // Every control a page shows lies inside the page area under the tabs, where a user can reach it.
    d.show();
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(TapTab(d.m_tab, i));
        CMyDialog* p = d.Page(i);
        for (QWidget* c : p->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (c->isVisibleTo(p) && !c->isWindow()) {
                EXPECT_TRUE(p->rect().contains(c->geometry()))
                    << classes[i] << " " << c->metaObject()->className() << " \""
                    << qPrintable(c->property("text").toString()) << "\" at y " << c->geometry().top() << ".."
                    << c->geometry().bottom() << " of " << p->height();
            }
        }
    }
    EXPECT_EQ(dynamic_cast<CGPSStatusDlg*>(d.Page(0))->m_pMainDlg, &d);
    EXPECT_EQ(dynamic_cast<CStavoOption*>(d.Page(5))->m_pMainDlg, &d);
    for (CFontStatic* s : {&d.m_stNorth, &d.m_stEast, &d.m_stHeight, &d.m_stPdop, &d.m_stStatus})
        EXPECT_EQ(s->FontSize(), 28);
    EXPECT_EQ(d.m_stStatus.text(), QStringLiteral("正在连接接收机..."));
    EXPECT_EQ(d.m_stNorth.text(), QStringLiteral("--"));
}

TEST_F(MainWindowTest, PositionFromTheReceiverReachesTheStatusArea)
{
    CStavoDlg& d = *m_dlg;
    // Found at 9600, outputs on after 3 s (scaled), then positions with precision arrive: the
    // receiver's SBAS solution, with the source its status report named.
    ASSERT_TRUE(waitUntil([&] { return d.m_stStatus.text().startsWith(QStringLiteral("WAAS差分H:")); }, 15000))
        << qPrintable(d.m_stStatus.text()) << m_sim->dump();
    EXPECT_EQ(d.m_stStatus.Foreground(), RGB(255, 128, 0));
    EXPECT_EQ(d.m_pDecoder->m_nDiffMode, 1);
    EXPECT_TRUE(d.m_stNorth.text().startsWith(QStringLiteral("31°13'")));
    EXPECT_TRUE(d.m_stEast.text().startsWith(QStringLiteral("121°28'")));
    EXPECT_EQ(d.m_bDataSeen, 1);
    EXPECT_EQ(d.m_nBaud, 9600u);
    EXPECT_EQ(m_sim->count(QStringLiteral("$JBAUD,9600")), 0);
}

TEST_F(MainWindowTest, NoDataWarningAfterThreeSilentSeconds)
{
    CStavoDlg& d = *m_dlg;
    // Wait for the outputs the program switches on (a silent receiver would not obey them).
    ASSERT_TRUE(waitUntil([&] { return m_sim->count(QStringLiteral("$JASC,GPRMC,1")) == 1; }, 15000));
    ASSERT_TRUE(waitUntil([&] { return d.m_stStatus.text().startsWith(QStringLiteral("WAAS差分")); }, 15000));
    m_sim->signal(SIGUSR1); // the receiver goes silent
    ASSERT_TRUE(waitUntil([&] { return d.m_stStatus.text() == QStringLiteral("端口无数据"); }, 5000));
    EXPECT_EQ(d.m_stStatus.Foreground(), RGB(255, 0, 0));
    EXPECT_GE(d.m_nNoDataTicks, 3);
    m_sim->signal(SIGUSR2); // and talks again: the next position overwrites the warning
    ASSERT_TRUE(waitUntil([&] { return d.m_stStatus.text().startsWith(QStringLiteral("WAAS差分")); }, 5000))
        << qPrintable(d.m_stStatus.text()) << m_sim->dump();
}

TEST_F(MainWindowTest, SwitchingThePortOffAndOnResumesTheProbeCounter)
{
    CStavoDlg& d = *m_dlg;
    ASSERT_TRUE(waitUntil([&] { return m_sim->count(QStringLiteral("$JASC,GPRMC,1")) == 1; }, 15000));
    const int before = CStavoDlg::ProbeAttempts();
    // The power-off and power-on sequence, with a receiver that stays silent afterwards.
    d.CloseReceiverPort();
    d.m_bDataSeen = 0;
    EXPECT_EQ(d.m_pPort, nullptr);
    m_sim->signal(SIGUSR1);
    Answers answers;
    d.ShowStatusMessage(QStringLiteral("正在初始化GPS接收机..."));
    EXPECT_EQ(d.m_nNoDataTicks, -3);
    d.OpenReceiverPort();
    d.SetTimer(stavo::TIMER_BAUD_PROBE, 2000);
    ASSERT_TRUE(waitUntil([&] { return !MessageBoxLog().empty(); }, 15000));
    EXPECT_EQ(MessageBoxLog()[0].text, QStringLiteral("串口不能正常通信，自适应串口波特率失败！"));
    EXPECT_EQ(CStavoDlg::ProbeAttempts(), 25); // the count went on from `before` to the limit
    EXPECT_LE(before, 24);
    EXPECT_FALSE(d.HasTimer(stavo::TIMER_BAUD_PROBE));
}

TEST_F(MainWindowTest, TabsSwitchByTap)
{
    CStavoDlg& d = *m_dlg;
    QRect r;
    ASSERT_TRUE(d.m_tab.GetItemRect(2, &r));
    QTest::mouseClick(&d.m_tab, Qt::LeftButton, {}, r.center());
    EXPECT_EQ(d.m_tab.m_nCurPage, 2);
    EXPECT_TRUE(d.Page(2)->isVisibleTo(&d.m_tab));
    EXPECT_FALSE(d.Page(0)->isVisibleTo(&d.m_tab));
}

TEST_F(MainWindowTest, ExitQuestionAnsweredNoChangesNothingYesSavesAndEnds)
{
    CStavoDlg& d = *m_dlg;
    {
        Answers no({IDNO});
        d.SendMessage(WM_COMMAND, IDCANCEL, 0);
        ASSERT_EQ(MessageBoxLog().size(), 1u);
        EXPECT_EQ(MessageBoxLog()[0].text, QStringLiteral("确定退出程序？"));
        EXPECT_EQ(MessageBoxLog()[0].type, MB_YESNO);
        EXPECT_TRUE(d.isVisible());
        EXPECT_NE(d.m_pPort, nullptr);
        EXPECT_EQ(d.GetProp("STAVO"), 1); // only the Esc path removes it
    }
    {
        Answers yes({IDYES});
        d.RequestExit();
        EXPECT_FALSE(d.isVisible());
        ASSERT_TRUE(waitUntil([&] { return m_sim->count(QStringLiteral("$JSAVE")) == 1; }, 3000));
    }
}

TEST_F(MainWindowTest, ExitWithThePortClosedSendsNothing)
{
    CStavoDlg& d = *m_dlg;
    ASSERT_TRUE(waitUntil([&] { return m_sim->count(QStringLiteral("$JSHOW")) >= 1; }, 5000));
    d.CloseReceiverPort(); // as the power switch of the parameter page does
    QTest::qWait(300); // the simulator logs what it got
    EXPECT_GE(m_sim->count(QStringLiteral("$JOFF")), 2);
    const auto before = m_sim->lines().size();
    Answers yes({IDYES});
    d.RequestExit();
    EXPECT_FALSE(d.isVisible());
    QTest::qWait(300);
    EXPECT_EQ(m_sim->lines().size(), before);
    EXPECT_EQ(m_sim->count(QStringLiteral("$JSAVE")), 0);
}

TEST_F(MainWindowTest, EscInAFocusedEditOpensTheExitQuestionAndNoControlSeesIt)
{
    CStavoDlg& d = *m_dlg;
    auto* edit = new QLineEdit(d.Page(0));
    edit->show();
    edit->setFocus();
    ASSERT_TRUE(waitUntil([&] { return QApplication::focusWidget() == edit; }, 2000));
    int editKeys = 0;
    struct Counter : QObject {
        int* n;
        explicit Counter(int* c) : n(c) {}
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease)
                ++*n;
            return false;
        }
    } counter(&editKeys);
    edit->installEventFilter(&counter);
    Answers no({IDNO});
    QTest::keyClick(edit, Qt::Key_Escape);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, QStringLiteral("确定退出程序？"));
    EXPECT_EQ(editKeys, 0);
    EXPECT_TRUE(d.isVisible());
    // After Esc and No the window no longer comes forward for a second copy.
    EXPECT_EQ(d.GetProp("STAVO"), 0);
    QTest::keyClick(edit, Qt::Key_A);
    EXPECT_EQ(editKeys, 2); // other keys reach the control as usual
}

TEST_F(MainWindowTest, SecondCopyRaisesTheFirstOnlyWhileItCarriesTheProperty)
{
    CStavoDlg& d = *m_dlg;
    // A second copy asks from another thread, as the running copy answers from its event loop.
    auto ask = [&] {
        std::atomic<bool> done{false};
        bool refused = false;
        QString reply;
        std::thread t([&] {
            SingleInstance other(QStringLiteral("STAVO"));
            refused = !other.acquire();
            reply = other.reply();
            done = true;
        });
        waitUntil([&] { return done.load(); }, 5000);
        t.join();
        EXPECT_TRUE(refused);
        return reply;
    };
    d.hide();
    EXPECT_EQ(ask(), QStringLiteral("raised"));
    EXPECT_TRUE(d.isVisible());

    Answers no({IDNO});
    d.SendMessage(WM_COMMAND, ID_APP_ESCAPE, 0);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    d.hide();
    EXPECT_EQ(ask(), QStringLiteral("ignored"));
    EXPECT_FALSE(d.isVisible());
}

TEST_F(MainWindowTest, OkHidesAndATapOnTheIconRestores)
{
    CStavoDlg& d = *m_dlg;
    d.SendMessage(WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(d.isHidden() || d.isMinimized());
    EXPECT_NE(d.m_pPort, nullptr); // the program keeps working
    d.SendMessage(stavo::WM_TRAY_NOTIFY, stavo::NOTIFY_ICON_ID, 0x0202); // other notifications: ignored
    EXPECT_TRUE(d.isHidden() || d.isMinimized());
    d.SendMessage(stavo::WM_TRAY_NOTIFY, stavo::NOTIFY_ICON_ID, WM_LBUTTONDOWN);
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(d.isMinimized());
}

namespace {

// CPU time (user + system, in clock ticks) of this process's receiver reader threads.
long ReaderTicks()
{
    long ticks = 0;
    QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(tid + QStringLiteral("/comm")));
        if (!comm.open(QIODevice::ReadOnly) || !comm.readAll().startsWith("wirra-reader"))
            continue;
        QFile stat(tasks.filePath(tid + QStringLiteral("/stat")));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> f = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (f.size() > 12)
            ticks += f[11].toLong() + f[12].toLong(); // utime, stime
    }
    return ticks;
}

// Keys as a user presses them: to the widget that has the focus in the active window.
void PressKey(QWidget* window, Qt::Key key)
{
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus && window->isAncestorOf(focus) ? focus : window, key);
}

} // namespace

TEST_F(MainWindowTest, AReceiverThatHangsUpCostsNothingAndIsReopenedWhenBack)
{
    CStavoDlg& d = *m_dlg;
    ASSERT_TRUE(waitUntil([&] { return m_sim->count(QStringLiteral("$JASC,GPRMC,1")) == 1; }, 15000));
    ASSERT_TRUE(waitUntil([&] { return d.m_stStatus.text().startsWith(QStringLiteral("WAAS差分")); }, 15000));
    CTrimblePort* before = d.m_pPort;

    m_sim->stop(); // the receiver is unplugged
    ASSERT_TRUE(waitUntil([&] { return d.m_pPort && d.m_pPort->IsHungUp(); }, 5000));
    EXPECT_EQ(d.m_pPort->handle(), -1);
    ASSERT_TRUE(waitUntil([&] { return d.m_stStatus.text() == QStringLiteral("端口无数据"); }, 5000));
    EXPECT_EQ(d.m_stStatus.Foreground(), RGB(255, 0, 0));
    // While it is gone (ten watchdog ticks at this clock scale) the reader spends nothing.
    const long ticks = ReaderTicks();
    QTest::qWait(1000);
    EXPECT_LT(ReaderTicks() - ticks, 20);
    EXPECT_EQ(d.m_pPort, before); // nothing to reopen yet
    EXPECT_EQ(d.m_stStatus.text(), QStringLiteral("端口无数据"));

    // Plugged in again on the same device: opened as a power-on does, found, initialised, and
    // the position comes back without a restart.
    ASSERT_TRUE(m_sim->restart());
    ASSERT_TRUE(waitUntil([&] { return m_sim->count(QStringLiteral("$JASC,GPRMC,1")) == 1; }, 15000)) << m_sim->dump();
    ASSERT_NE(d.m_pPort, nullptr);
    EXPECT_NE(d.m_pPort->handle(), -1);
    EXPECT_FALSE(d.m_pPort->IsHungUp());
    std::size_t at = 0;
    EXPECT_TRUE(m_sim->find(QStringLiteral("$JOFF"), &at));
    EXPECT_TRUE(m_sim->find(QStringLiteral("$JSHOW"), nullptr, at + 1));
    ASSERT_TRUE(waitUntil([&] { return d.m_stStatus.text().startsWith(QStringLiteral("WAAS差分")); }, 15000))
        << qPrintable(d.m_stStatus.text()) << m_sim->dump();
}

TEST_F(MainWindowTest, EscInAMessageBoxIsTheBoxsOwn)
{
    // Real boxes, shown over the main window: Esc answers the box as the box does, and never
    // reaches the main window as its exit command (which would stack another question on top).
    CStavoDlg& d = *m_dlg;
    struct Case {
        const char* what;
        std::function<int()> open;
        const char* text;
        int result;
    };
    const Case cases[] = {
        {"the exit question",
         [&] {
             d.SendMessage(WM_COMMAND, ID_APP_ESCAPE, 0);
             return IDNO;
         },
         "确定退出程序？", IDNO},
        {"the port-taken box",
         [&] { return MessageBox(&d, LoadString(IDS_PORT_BUSY), d.windowTitle(), MB_ICONINFORMATION); },
         "GPS连接端口已被占用！", IDOK},
        {"a question with Cancel", [&] { return MessageBox(&d, QStringLiteral("CORS网络连接中,\n确定要退出吗？"), d.windowTitle(), MB_OKCANCEL | MB_ICONQUESTION); },
         "CORS网络连接中,\n确定要退出吗？", IDCANCEL},
    };
    for (const Case& c : cases) {
        QStringList shown;
        bool pressed = false;
        QTimer driver;
        driver.setInterval(20);
        QObject::connect(&driver, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            if (!box->property("seen").toBool()) {
                box->setProperty("seen", true);
                shown << box->text();
            }
            if (!pressed) {
                pressed = true;
                // Pressed outside this slot: a box the key opens runs its own loop, in which this
                // timer must go on firing.
                QTimer::singleShot(0, box, [box] {
                    QApplication::setActiveWindow(box);
                    PressKey(box, Qt::Key_Escape);
                });
            } else {
                box->reject(); // a box stacked by the key: unwind without further keys
            }
        });
        driver.start();
        const int result = c.open();
        driver.stop();
        EXPECT_EQ(shown.join(QStringLiteral(" | ")).toStdString(), c.text) << c.what;
        EXPECT_EQ(result, c.result) << c.what;
        EXPECT_TRUE(d.isVisible()) << c.what;
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << c.what;
    }
    EXPECT_EQ(m_sim->count(QStringLiteral("$JSAVE")), 0);
}

TEST_F(MainWindowTest, MessageBoxesSpeakInTheWindowsFont)
{
    // Real boxes over the main window: their text is as tall as the window's own labels, not set
    // in the desktop's small default face.
    CStavoDlg& d = *m_dlg;
    QLabel* label = nullptr;
    for (QLabel* l : d.findChildren<QLabel*>())
        if (l->text() == QStringLiteral("N:"))
            label = l;
    ASSERT_NE(label, nullptr);
    for (const UINT id : {UINT(IDS_EXIT_QUESTION), UINT(IDS_PORT_BUSY)}) {
        const QString text = LoadString(id);
        int textHeight = 0, buttonHeight = 0;
        QTimer driver;
        driver.setInterval(20);
        QObject::connect(&driver, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            for (QLabel* l : box->findChildren<QLabel*>())
                if (l->text() == text)
                    textHeight = QFontMetrics(l->font()).height();
            if (!box->buttons().isEmpty())
                buttonHeight = QFontMetrics(box->buttons().front()->font()).height();
            box->reject();
        });
        driver.start();
        MessageBox(&d, text, d.windowTitle(), id == IDS_EXIT_QUESTION ? MB_YESNO : MB_ICONINFORMATION);
        driver.stop();
        EXPECT_EQ(textHeight, QFontMetrics(label->font()).height()) << qPrintable(text);
        EXPECT_EQ(buttonHeight, QFontMetrics(label->font()).height()) << qPrintable(text);
    }
}

TEST_F(MainWindowTest, EscInAnOpenDropDownListIsStillTheExitCommand)
{
    // The list a page's combo box (or an in-place editor) drops down belongs to the main window.
    CStavoDlg& d = *m_dlg;
    auto* combo = new QComboBox(d.Page(0));
    combo->addItems({QStringLiteral("1"), QStringLiteral("2")});
    combo->show();
    combo->setFocus();
    combo->showPopup();
    ASSERT_TRUE(waitUntil([&] { return QApplication::activePopupWidget() != nullptr; }, 2000));
    Answers no({IDNO});
    QWidget* popup = QApplication::activePopupWidget();
    QWidget* target = popup->focusWidget() ? popup->focusWidget() : popup;
    QTest::keyClick(target, Qt::Key_Escape);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, QStringLiteral("确定退出程序？"));
    combo->hidePopup();
    delete combo;
}

TEST_F(MainWindowTest, OneSmoothedTextInTheTemplateFontEverywhere)
{
    CStavoDlg& d = *m_dlg;
    QLabel* label = nullptr;
    for (QLabel* l : d.findChildren<QLabel*>())
        if (l->text() == QStringLiteral("N:"))
            label = l;
    ASSERT_NE(label, nullptr);
    // Tab captions in the tab control's template font: as tall as the template's labels.
    EXPECT_EQ(d.m_tab.font().pixelSize(), label->font().pixelSize());
    EXPECT_EQ(QFontMetrics(d.m_tab.font()).height(), QFontMetrics(label->font()).height());
    // Smoothed text everywhere: edges of the strokes are drawn in shades between text and ground.
    auto shades = [](QWidget& w) {
        const QImage img = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QSet<QRgb> colours;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                colours.insert(img.pixel(x, y));
        return colours.size();
    };
    d.m_stNorth.setText(QStringLiteral("31°13'49.4223\""));
    EXPECT_GT(shades(*label), 4);
    EXPECT_GT(shades(d.m_stNorth), 4);
    EXPECT_FALSE(d.m_tab.font().styleStrategy() & QFont::NoAntialias);
    // A western longitude fits its place whole (with the wider stand-in face it lost its end).
    const QString west = stavo::FormatDms(-121.474);
    EXPECT_LE(QFontMetrics(d.m_stEast.PaintFont()).horizontalAdvance(west), d.m_stEast.width()) << qPrintable(west);
}

class LandscapeMainWindowTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        Screen::setSize(640, 480);
        MainWindowTest::SetUp();
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        Screen::reset();
    }
};

TEST_F(LandscapeMainWindowTest, TheWindowFillsTheScreenItIsShownOn)
{
    CStavoDlg& d = *m_dlg;
    EXPECT_EQ(d.size(), QSize(640, 480));
    EXPECT_EQ(d.m_tab.geometry(), QRect(0, 0, 640, 440));
}

// The main window run as the program runs it: modally, with the notification area's path taken.
class ModalMainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_sim = std::make_unique<SimHarness>(QStringList{QStringLiteral("--baud"), QStringLiteral("9600"),
                                                          QStringLiteral("--seed"), QStringLiteral("3"),
                                                          QStringLiteral("--time-scale"), QStringLiteral("10")});
        ASSERT_TRUE(m_sim->ready());
        qputenv("XDG_CONFIG_HOME", m_sim->home().toUtf8());
        Clock::setRealScale(0.1);
        TrayIcon::ForceAvailable(true);
        m_app = std::make_unique<CStavoApp>();
        ASSERT_TRUE(m_app->InitApplication());
    }
    void TearDown() override
    {
        SetAppPreTranslate(nullptr);
        m_app.reset();
        TrayIcon::ForceAvailable(std::nullopt);
        Clock::setRealScale(1.0);
        qunsetenv("XDG_CONFIG_HOME");
    }
    std::unique_ptr<SimHarness> m_sim;
    std::unique_ptr<CStavoApp> m_app;
};

TEST_F(ModalMainWindowTest, OkHidesTheWindowAndTheProgramRunsOnUntilTheExitSequence)
{
    CStavoDlg d;
    m_app->AttachMainWindow(&d);
    // Steps run from the modal loop itself, as a user's actions would arrive.
    int step = 0;
    QString failure;
    QElapsedTimer clock;
    clock.start();
    qint64 hiddenAt = 0;
    int offsBeforeHiding = 0;
    double positionSeenAt = -1;
    QString statusWhenHidden;
    QTimer driver;
    driver.setInterval(20);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        if (clock.elapsed() > 60000) { // never hang the suite
            failure = QStringLiteral("step %1 did not complete").arg(step);
            driver.stop();
            d.EndDialog(IDCANCEL);
            return;
        }
        switch (step) {
        case 0: // running and initialised
            if (!d.m_stStatus.text().startsWith(QStringLiteral("WAAS差分")))
                return;
            offsBeforeHiding = m_sim->count(QStringLiteral("$JOFF"));
            QApplication::setActiveWindow(&d);
            PressKey(&d, Qt::Key_Return); // OK
            hiddenAt = clock.elapsed();
            step = 1;
            return;
        case 1: // hidden, and the loop goes on: this timer still fires
            if (d.isVisible()) {
                failure = QStringLiteral("Enter did not hide the window");
                d.EndDialog(IDCANCEL);
                return;
            }
            statusWhenHidden = d.m_stStatus.text();
            positionSeenAt = d.m_pDecoder->m_dUtcSeconds;
            step = 2;
            return;
        case 2: // hidden for a while: the port stays open and messages keep being dispatched
            if (clock.elapsed() - hiddenAt < 1500 || d.m_pDecoder->m_dUtcSeconds == positionSeenAt)
                return;
            EXPECT_NE(d.m_pPort, nullptr);
            EXPECT_NE(d.m_pPort->handle(), -1);
            // Nothing but what a running program sends: no "$JOFF" of a closing port, no "$JSAVE".
            EXPECT_EQ(m_sim->count(QStringLiteral("$JOFF")), offsBeforeHiding);
            EXPECT_EQ(m_sim->count(QStringLiteral("$JSAVE")), 0);
            ASSERT_NE(TrayIcon::Find(stavo::NOTIFY_ICON_ID), nullptr);
            TrayIcon::Find(stavo::NOTIFY_ICON_ID)->Tap();
            step = 3;
            return;
        case 3: // the tap brought it back; now the exit sequence, the only way out
            if (!d.isVisible())
                return;
            SetMessageBoxResponder([](const MessageBoxCall&) { return IDYES; });
            QApplication::setActiveWindow(&d);
            PressKey(&d, Qt::Key_Escape);
            step = 4;
            return;
        default: return;
        }
    });
    driver.start();
    d.DoModal();
    driver.stop();
    SetMessageBoxResponder(nullptr);
    EXPECT_EQ(failure, QString());
    EXPECT_EQ(step, 4) << "the modal loop ended at step " << step;
    EXPECT_FALSE(d.isVisible());
    QElapsedTimer t;
    t.start();
    while (m_sim->count(QStringLiteral("$JSAVE")) != 1 && t.elapsed() < 3000)
        QTest::qWait(20);
    EXPECT_EQ(m_sim->count(QStringLiteral("$JSAVE")), 1);
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false); // as the program: a hidden main window runs on
    res::RegisterResources();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
