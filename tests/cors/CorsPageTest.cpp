// The CORS page in the main window, driven by clicks and keys, with the simulated receiver on its
// pseudo-terminal: against Debian's str2str as a real caster (source table, wrong and right password,
// the stream, GGA upstream, Config.xml, the caster's loss, the correction chain to RTK, exit with the
// connection open), and against a scripted caster for answers a real caster does not give.

#include "CasterHarness.h"
#include "SimWindowFixture.h"
#include "TabTap.h"

#include "app/Pages.h"
#include "app/StavoApp.h"
#include "app/StavoDlg.h"
#include "res/resource.h"

#include "platform/Clock.h"
#include "platform/KeyRouter.h"
#include "platform/MessageBox.h"

#include "wirra/CSIFormat.h"
#include "wirra/TrimblePort.h"
#include "wirra/VRSSocket.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/socket.h>

using namespace corstest;
using namespace platform;

namespace {

const QString kWrongLogin = QStringLiteral("用户名或密码错误！");
const QString kCorsLost = QStringLiteral("与服务器断开连接!\n要设置WASS查分模式吗？");
const QString kHandheldFailed = QStringLiteral("手簿网络连接失败！");

QByteArray TestData(const char* name)
{
    QFile f(qEnvironmentVariable("STAVO_TEST_DATA") + QLatin1Char('/') + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class CorsPageTest : public SimWindowFixture {
protected:
    void SetUp() override
    {
        StartSim({QStringLiteral("--baud"), QStringLiteral("9600"), QStringLiteral("--seed"), QStringLiteral("5"),
                  QStringLiteral("--time-scale"), QStringLiteral("10")});
    }
    void TearDown() override
    {
        SimWindowFixture::TearDown();
        CCESocket::SetLocalAddressSource(nullptr);
    }

    // Starts the program's main window (after any Config.xml a test put in place) and shows tab 4.
    void Start()
    {
        ASSERT_NO_FATAL_FAILURE(StartWindow());
        // The strip is wider than the screen: its right arrow brings the tab into view, then a tap.
        ASSERT_TRUE(TapTab(m_dlg->m_tab, stavo::PAGE_CORS));
        ASSERT_TRUE(page().isVisible());
    }
    QString ConfigPath() const { return m_sim->dataFolder() + QStringLiteral("/Config.xml"); }
    void WriteConfig(const QByteArray& bytes)
    {
        QFile f(ConfigPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray Config() const
    {
        QFile f(ConfigPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    CLogonCORSDlg& page() const { return *dynamic_cast<CLogonCORSDlg*>(m_dlg->Page(stavo::PAGE_CORS)); }
    template <class T> T* item(int id) const { return qobject_cast<T*>(page().GetDlgItem(id)); }
    QComboBox* sources() const { return item<QComboBox>(IDC_CORS_SOURCE); }
    QString caption() const { return item<QPushButton>(IDC_CORS_CONNECT)->text(); }
    QString received() const { return item<QLabel>(IDC_CORS_RECEIVED)->text(); }
    void Click(int id) { QTest::mouseClick(item<QPushButton>(id), Qt::LeftButton); }

    // Replaces a box's text the way a user does: everything selected, then typed over.
    static void Type(QLineEdit* e, const QString& text)
    {
        e->setFocus();
        QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, text);
    }
    void Fill(const QString& address, quint16 port, const QString& user = QString(), const QString& password = QString())
    {
        Type(item<QComboBox>(IDC_CORS_DATA_CENTRE)->lineEdit(), address);
        Type(item<QLineEdit>(IDC_CORS_PORT), QString::number(port));
        Type(item<QComboBox>(IDC_CORS_USER)->lineEdit(), user);
        Type(item<QLineEdit>(IDC_CORS_PASSWORD), password);
    }
    // Fetches the table and waits until the socket is gone.
    void FetchSources()
    {
        Click(IDC_CORS_GET_SOURCES);
        ASSERT_TRUE(WaitUntil([&] { return page().m_pTableSocket == nullptr; }, 15000));
    }
    // Waits until the receiver's GGA has been decoded (the page sends it to the caster).
    void WaitForGga()
    {
        ASSERT_TRUE(WaitUntil([&] { return !m_dlg->m_pDecoder->strGetGPGGA().empty(); }, 15000)) << m_sim->dump();
    }
    bool LoggedIn() const { return page().m_pVrsSocket && page().m_pVrsSocket->m_ucLinkState == LINK_FORWARD; }
    // The receiver commands after the nth occurrence of "$JDIFF,NONE" (0 first), in order.
    QStringList DiffCommands() const
    {
        QStringList out;
        for (const SimLine& l : m_sim->lines())
            if (l.text.startsWith(QStringLiteral("$JDIFF")) || l.text == QStringLiteral("$JSAVE"))
                out << l.text;
        return out;
    }
    // Logs in to a caster that answers the login as the script says (the table lists mount point M).
    std::unique_ptr<ScriptedCaster> ScriptedLogin(ScriptedCaster::Script login)
    {
        auto caster = std::make_unique<ScriptedCaster>([login](ScriptedConnection& c) {
            if (c.received.startsWith("GET / ")) {
                Say(c, "SOURCETABLE 200 OK\r\n\r\nSTR;M;M;RTCM 3.2;1004(1);2;GPS;NET;CHN;31.00;121.00;1;0;x;none;B;N;9600;\r\n"
                       "ENDSOURCETABLE\r\n");
                c.socket->disconnectFromHost();
            } else {
                login(c);
            }
        });
        Fill(QStringLiteral("127.0.0.1"), caster->port(), QStringLiteral("user"), QStringLiteral("pass"));
        FetchSources();
        EXPECT_EQ(sources()->currentText(), QStringLiteral("M"));
        Click(IDC_CORS_CONNECT);
        return caster;
    }
};

} // namespace

TEST_F(CorsPageTest, RealCasterTableLoginStreamGgaConfigAndLoss)
{
    Str2Str caster;
    ASSERT_TRUE(caster.ok());
    Start();
    EXPECT_EQ(caption(), QStringLiteral("连接网络"));
    Fill(QStringLiteral("127.0.0.1"), caster.casterPort(), QStringLiteral("user"), QStringLiteral("bad"));
    FetchSources();
    ASSERT_EQ(sources()->count(), 2);
    EXPECT_EQ(sources()->currentText(), QStringLiteral("MOUNT1"));
    EXPECT_EQ(page().m_sources, (QStringList{QStringLiteral("MOUNT1"), QStringLiteral("MOUNT2")}));

    // A wrong password: the caster's 401 gives the message, and the page is back where it was.
    {
        Answers ok;
        Click(IDC_CORS_CONNECT);
        EXPECT_EQ(caption(), QStringLiteral("断开网络"));
        EXPECT_TRUE(page().LoginPending());
        ASSERT_TRUE(WaitUntil([&] { return Answers::count(kWrongLogin) == 1; }));
        EXPECT_EQ(MessageBoxLog().back().type, MB_OK);
        EXPECT_EQ(page().m_pVrsSocket, nullptr);
        EXPECT_EQ(caption(), QStringLiteral("连接网络"));
        EXPECT_FALSE(page().LoginPending());
    }

    // The right one: corrections flow to the receiver and the receiver's GGA to the caster.
    WaitForGga();
    Type(item<QLineEdit>(IDC_CORS_PASSWORD), QStringLiteral("pass"));
    Click(IDC_CORS_CONNECT);
    EXPECT_EQ(received(), QStringLiteral("0"));
    ASSERT_TRUE(WaitUntil([&] { return LoggedIn(); }));
    EXPECT_TRUE(page().HasTimer(CLogonCORSDlg::TIMER_GGA_UPLOAD));
    ASSERT_TRUE(WaitUntil([&] { return caster.readBack().contains("\r\n"); }));
    const QByteArray gga = caster.readBack();
    EXPECT_TRUE(gga.startsWith("$GPGGA,")) << gga.toStdString();
    EXPECT_TRUE(gga.endsWith("\r\n"));
    int sum = 0;
    for (char ch : gga.mid(1, gga.indexOf('*') - 1))
        sum ^= uchar(ch);
    EXPECT_EQ(gga.mid(gga.indexOf('*') + 1, 2).toInt(nullptr, 16), sum) << gga.toStdString();

    const QByteArray rtcm = TestData("rtklib_testglo.rtcm3");
    ASSERT_EQ(rtcm.size(), 57931);
    caster.feed(rtcm.left(20000));
    ASSERT_TRUE(WaitUntil([&] { return received().toInt() >= 20000; })) << qPrintable(received());
    caster.feed(rtcm.mid(20000));
    ASSERT_TRUE(WaitUntil([&] { return received().toInt() == rtcm.size(); })) << qPrintable(received());
    EXPECT_EQ(page().m_nRecvBytes, rtcm.size());
    // The receiver takes them as valid frames.
    ASSERT_TRUE(WaitUntil([&] { return m_sim->dump().find("RTCM 1005 ") != std::string::npos; })) << m_sim->dump();
    EXPECT_NE(m_sim->dump().find("RTCM 1004 "), std::string::npos);
    EXPECT_EQ(DiffCommands().mid(0, 2), (QStringList{QStringLiteral("$JDIFF,NONE"), QStringLiteral("$JDIFF,BEACON")}));

    // What an accepted login leaves in Config.xml.
    const QByteArray port = QByteArray::number(caster.casterPort());
    EXPECT_EQ(Config(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<CORSConfig xmlns=\"urn:stavo:cors\" version=\"1001\">\r\n"
              "<ConfigInformation>\r\n<DataCenterAddress>127.0.0.1</DataCenterAddress>\r\n<ServerPort>" +
                  port +
                  "</ServerPort>\r\n<DataSourceList LastSource=\"MOUNT1\">\r\n<Item>MOUNT1</Item>\r\n<Item>MOUNT2</Item>\r\n"
                  "</DataSourceList>\r\n<UserName LastUser=\"user\">\r\n<Item>user</Item>\r\n</UserName>\r\n"
                  "</ConfigInformation>\r\n</CORSConfig>\r\n");

    // The caster goes in the middle of the stream: the connection ends once, with the WAAS question;
    // Yes switches to WAAS.
    // (The stream stops at a frame's end: the simulated receiver would take the commands that follow a
    // cut frame for the rest of that frame.)
    Answers yes({IDYES});
    int end = 0;
    while (end < 10000)
        end += rtcm[end] == '\xD3' ? 6 + ((uchar(rtcm[end + 1]) & 3) << 8 | uchar(rtcm[end + 2])) : 1;
    for (int at = 0; at < end; at += 500) {
        caster.feed(rtcm.mid(at, qMin(500, end - at)));
        QTest::qWait(10);
    }
    ASSERT_TRUE(WaitUntil([&] { return received().toInt() == rtcm.size() + end; }));
    caster.kill();
    ASSERT_TRUE(WaitUntil([&] { return page().m_pVrsSocket == nullptr; }));
    QTest::qWait(300);
    EXPECT_EQ(Answers::count(kCorsLost), 1);
    EXPECT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].type, MB_YESNO | MB_ICONEXCLAMATION);
    EXPECT_EQ(caption(), QStringLiteral("连接网络"));
    EXPECT_FALSE(page().HasTimer(CLogonCORSDlg::TIMER_GGA_UPLOAD));
    ASSERT_TRUE(WaitUntil([&] { return DiffCommands().size() >= 6; }, 3000)) << m_sim->dump();
    EXPECT_EQ(DiffCommands(), (QStringList{"$JDIFF,NONE", "$JDIFF,BEACON", "$JDIFF,NONE", "$JDIFF,BEACON",
                                           "$JDIFF,NONE", "$JDIFF,WAAS"}));
}

TEST_F(CorsPageTest, TheCorrectionChainBringsTheReceiverToRtk)
{
    Str2Str caster;
    ASSERT_TRUE(caster.ok());
    Start();
    Fill(QStringLiteral("127.0.0.1"), caster.casterPort(), QStringLiteral("user"), QStringLiteral("pass"));
    FetchSources();
    WaitForGga();
    Click(IDC_CORS_CONNECT);
    ASSERT_TRUE(WaitUntil([&] { return LoggedIn(); }));

    // The real capture through the caster at about 20 kB/s, over and over, until the receiver's
    // solution is RTK fixed and the status line says so.
    const QByteArray rtcm = TestData("rtklib_testglo.rtcm3");
    int at = 0;
    QElapsedTimer t;
    t.start();
    auto fixed = [&] { return m_dlg->m_stStatus.text().startsWith(QStringLiteral("固定H:")); };
    while (!fixed() && t.elapsed() < 30000) {
        caster.feed(rtcm.mid(at, 1000));
        at = (at + 1000) % int(rtcm.size());
        QTest::qWait(50);
    }
    ASSERT_TRUE(fixed()) << qPrintable(m_dlg->m_stStatus.text()) << m_sim->dump();
    EXPECT_EQ(m_dlg->m_stStatus.Foreground(), RGB(192, 192, 0));
    EXPECT_EQ(m_dlg->m_pDecoder->m_ucQuality, 4);
    const std::string log = m_sim->dump();
    // SBAS until the login switched the source to BEACON, then float and fixed on the corrections.
    for (const char* change : {"QUALITY 2 -> 1", "QUALITY 1 -> 5", "QUALITY 5 -> 4"})
        EXPECT_NE(log.find(change), std::string::npos) << change << "\n" << log;
    for (const char* type : {"RTCM 1004 ", "RTCM 1012 ", "RTCM 1005 ", "RTCM 1019 ", "RTCM 1020 "})
        EXPECT_NE(log.find(type), std::string::npos) << type;
    EXPECT_EQ(received().toLongLong(), page().m_nRecvBytes);
}

// The receiver's line is slower than the stream (here: the receiver takes nothing for a while). Blocks
// that arrive while the line is still behind are dropped, as blocks arriving while one is being
// forwarded are: queueing them would hold ever more memory and hand the receiver ever older
// corrections. Dropped blocks do not count as received; the stream goes on once the line keeps up.
TEST_F(CorsPageTest, ABlockArrivingWhileTheLineIsBehindIsDropped)
{
    Str2Str caster;
    ASSERT_TRUE(caster.ok());
    Start();
    Fill(QStringLiteral("127.0.0.1"), caster.casterPort(), QStringLiteral("user"), QStringLiteral("pass"));
    FetchSources();
    Click(IDC_CORS_CONNECT);
    ASSERT_TRUE(WaitUntil([&] { return LoggedIn(); }));
    ASSERT_TRUE(WaitUntil([&] { return DiffCommands().size() == 2; }, 3000));

    // What reached the receiver from the log line on: valid frames and skipped bytes.
    auto bytesAtReceiver = [&](std::size_t from) {
        qint64 n = 0;
        const auto lines = m_sim->lines();
        for (std::size_t i = from; i < lines.size(); ++i) {
            const QStringList f = lines[i].text.split(QLatin1Char(' '));
            if (f.size() == 4 && f[0] == QStringLiteral("RTCM") && f[3] == QStringLiteral("bytes"))
                n += f[2].toLongLong();
            else if (f.size() == 3 && f[0] == QStringLiteral("SKIPPED"))
                n += f[1].toLongLong();
        }
        return n;
    };
    const QByteArray rtcm = TestData("rtklib_testglo.rtcm3");
    QByteArray stream;
    for (int i = 0; i < 20; ++i)
        stream += rtcm;

    m_sim->signal(SIGSTOP);
    const std::size_t mark = m_sim->lines().size();
    for (int at = 0; at < stream.size(); at += 4000) {
        caster.feed(stream.mid(at, 4000));
        QTest::qWait(2);
    }
    const bool all = WaitUntil([&] { return caster.feeder().bytesToWrite() == 0; }, 20000);
    QTest::qWait(1000); // the caster relays what it has; the page handles it
    const qint64 counted = page().m_nRecvBytes;
    m_sim->signal(SIGCONT);
    ASSERT_TRUE(all);
    EXPECT_GT(counted, 0);
    EXPECT_LT(counted, stream.size() / 4) << counted;
    EXPECT_EQ(received().toLongLong(), counted);

    // The receiver, running again, gets what the line held back then, not the whole stream.
    QTest::qWait(2000);
    const qint64 delivered = bytesAtReceiver(mark);
    EXPECT_LT(delivered, stream.size() / 4) << delivered;

    // Once the line keeps up, blocks are forwarded again, every one of them.
    const std::size_t mark2 = m_sim->lines().size();
    for (int at = 0; at < 20000; at += 1000) {
        caster.feed(rtcm.mid(at, 1000));
        QTest::qWait(20);
    }
    ASSERT_TRUE(WaitUntil([&] { return page().m_nRecvBytes == counted + 20000; }, 10000)) << page().m_nRecvBytes;
    EXPECT_TRUE(WaitUntil([&] { return bytesAtReceiver(mark2) >= 19000; }, 10000)) << bytesAtReceiver(mark2);
    Answers no({IDNO});
    Click(IDC_CORS_CONNECT);
}

TEST_F(CorsPageTest, ExitWithTheConnectionOpenAsksTwiceThenSaves)
{
    Str2Str caster;
    ASSERT_TRUE(caster.ok());
    Start();
    Fill(QStringLiteral("127.0.0.1"), caster.casterPort(), QStringLiteral("user"), QStringLiteral("pass"));
    FetchSources();
    Click(IDC_CORS_CONNECT);
    ASSERT_TRUE(WaitUntil([&] { return LoggedIn(); }));
    ASSERT_TRUE(WaitUntil([&] { return DiffCommands().size() == 2; }, 3000));
    {
        Answers cancel({IDCANCEL});
        m_dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        ASSERT_EQ(MessageBoxLog().size(), 1u);
        EXPECT_EQ(MessageBoxLog()[0].text, QStringLiteral("CORS网络连接中,\n确定要退出吗？"));
        EXPECT_EQ(MessageBoxLog()[0].type, MB_OKCANCEL | MB_ICONQUESTION);
        EXPECT_TRUE(LoggedIn());
        EXPECT_TRUE(m_dlg->isVisible());
    }
    Answers okThenNo({IDOK, IDNO});
    m_dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
    ASSERT_EQ(MessageBoxLog().size(), 2u);
    EXPECT_EQ(MessageBoxLog()[1].text, kCorsLost);
    EXPECT_FALSE(m_dlg->isVisible());
    EXPECT_EQ(page().m_pVrsSocket, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return m_sim->count(QStringLiteral("$JSAVE")) == 1; }, 3000));
    EXPECT_EQ(DiffCommands(), (QStringList{"$JDIFF,NONE", "$JDIFF,BEACON", "$JDIFF,NONE", "$JDIFF,BEACON", "$JSAVE"}));
}

// The real boxes of the exit sequence, answered with keys as a user does. Esc in a message box is the
// box's own (Cancel, or No): the box's loop is not the program's, so Esc is no exit command there.
TEST_F(CorsPageTest, EscInTheExitQuestionsAnswersTheBoxItself)
{
    Start();
    auto caster = ScriptedLogin([](ScriptedConnection& c) { Say(c, "ICY 200 OK\r\n"); });
    ASSERT_TRUE(WaitUntil([&] { return LoggedIn(); }));
    ASSERT_TRUE(WaitUntil([&] { return DiffCommands().size() == 2; }, 3000));

    // Presses the given keys, one per box as the boxes come. A box beyond them, or one that a key left
    // open, is closed with its last button (and noted), so that a wrong behaviour cannot hang the test.
    QStringList shown;
    auto answerWith = [&](std::vector<int> keys) {
        shown.clear();
        auto* driver = new QTimer;
        QObject::connect(driver, &QTimer::timeout, driver, [&shown, keys]() mutable {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            const int ticks = box->property("ticks").toInt();
            box->setProperty("ticks", ticks + 1);
            if (ticks > 0) {
                if (ticks == 10) { // still open 200 ms after its key
                    shown << QStringLiteral("(left open)");
                    QTimer::singleShot(0, box, [box] { box->buttons().constLast()->click(); });
                }
                return;
            }
            shown << box->text();
            // From an event of its own, so that this driver goes on ticking in any loop the answer opens.
            if (keys.empty()) {
                QTimer::singleShot(0, box, [box] { box->buttons().constLast()->click(); });
                return;
            }
            const int key = keys.front();
            keys.erase(keys.begin());
            QTimer::singleShot(0, box, [box, key] {
                QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, Qt::Key(key));
            });
        });
        driver->start(20);
        return driver;
    };

    // Esc in the OK/Cancel question: cancelled, the connection stays.
    {
        std::unique_ptr<QTimer> driver(answerWith({Qt::Key_Escape}));
        m_dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(shown.join(QStringLiteral(" | ")).toStdString(), "CORS网络连接中,\n确定要退出吗？");
        EXPECT_TRUE(LoggedIn());
        EXPECT_TRUE(m_dlg->isVisible());
    }
    // Return takes OK; Esc in the WAAS question is No; "$JSAVE" goes out once, after the pair.
    {
        std::unique_ptr<QTimer> driver(answerWith({Qt::Key_Return, Qt::Key_Escape}));
        m_dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(shown.join(QStringLiteral(" | ")), QStringLiteral("CORS网络连接中,\n确定要退出吗？ | ") + kCorsLost)
            << qPrintable(shown.join(QStringLiteral(" | ")));
        EXPECT_EQ(page().m_pVrsSocket, nullptr);
        EXPECT_FALSE(m_dlg->isVisible());
    }
    ASSERT_TRUE(WaitUntil([&] { return m_sim->count(QStringLiteral("$JSAVE")) == 1; }, 3000));
    QTest::qWait(300);
    EXPECT_EQ(DiffCommands(), (QStringList{"$JDIFF,NONE", "$JDIFF,BEACON", "$JDIFF,NONE", "$JDIFF,BEACON", "$JSAVE"}));
}

TEST_F(CorsPageTest, APendingLoginShowsInTheStatusLineUntilDisconnected)
{
    Start();
    // The receiver's SBAS solution first.
    ASSERT_TRUE(WaitUntil([&] { return m_dlg->m_stStatus.text().startsWith(QStringLiteral("WAAS差分")); }, 15000));
    auto caster = ScriptedLogin([](ScriptedConnection&) {}); // a caster that never answers the login
    ASSERT_TRUE(WaitUntil([&] { return caster->connections().size() == 2 && caster->last()->answered; }));
    EXPECT_TRUE(caster->last()->received.startsWith("GET /M HTTP/1.0\r\nUser-Agent: NTRIP GNSSInternetRadio /1.4.5\r\n"));
    ASSERT_TRUE(WaitUntil([&] { return m_dlg->m_stStatus.text() == QStringLiteral("正在登陆CORS服务器..."); }, 5000));
    EXPECT_EQ(m_dlg->m_stStatus.Foreground(), RGB(255, 128, 0));
    EXPECT_EQ(caption(), QStringLiteral("断开网络"));

    Answers no({IDNO});
    Click(IDC_CORS_CONNECT);
    EXPECT_EQ(Answers::count(kCorsLost), 1);
    EXPECT_EQ(caption(), QStringLiteral("连接网络"));
    EXPECT_FALSE(page().LoginPending());
    ASSERT_TRUE(WaitUntil([&] { return DiffCommands().size() == 2; }, 3000));
    EXPECT_EQ(DiffCommands(), (QStringList{"$JDIFF,NONE", "$JDIFF,BEACON"}));
    // The receiver, now on its beacon source with no beacon, reports single positions.
    ASSERT_TRUE(WaitUntil([&] { return m_dlg->m_stStatus.text().startsWith(QStringLiteral("单点定位")); }, 5000))
        << qPrintable(m_dlg->m_stStatus.text());
}

TEST_F(CorsPageTest, LoginAnswersOfAScriptedCaster)
{
    Start();
    struct Case {
        const char* name;
        std::vector<QByteArray> blocks; // written one after the other, with the caster's close last if empty
        bool accepted;
        bool refused;
    };
    const QByteArray garbage("\x00\xD3\xFF\x13garbage\r\n\x00\x01", 15);
    const Case cases[] = {
        {"source table for the login counts as accepted",
         {"SOURCETABLE 200 OK\r\n\r\nSTR;M;M;RTCM;x;y\r\nENDSOURCETABLE\r\n"}, true, false},
        {"answer split, the second half holds 200 OK", {"IC", "Y 200 OK\r\n\xD3\x00"}, true, false},
        {"answer split inside 200 OK: neither half is recognised", {"ICY 200 O", "K\r\n"}, false, false},
        {"garbage", {garbage}, false, false},
        {"401 and close", {"HTTP/1.0 401 Unauthorized\r\n", ""}, false, true},
    };
    int diffCommands = 0; // what the receiver has had so far
    for (const Case& c : cases) {
        bool socketGoneAtBox = false;
        Answers answers({}, [&](const MessageBoxCall&) { socketGoneAtBox = page().m_pVrsSocket == nullptr; });
        auto caster = ScriptedLogin([&c, this](ScriptedConnection& conn) {
            for (const QByteArray& b : c.blocks) {
                if (b.isEmpty()) {
                    conn.socket->disconnectFromHost();
                    break;
                }
                Say(conn, b);
                conn.socket->waitForBytesWritten(1000);
                // Separate blocks: the next goes only when the page has handled the first.
                WaitUntil([&] { return !page().LoginPending(); });
            }
        });
        ASSERT_TRUE(WaitUntil([&] { return caster->connections().size() == 2 && caster->last()->answered; })) << c.name;
        WaitUntil([&] { return c.accepted ? LoggedIn() : c.refused ? Answers::count(kWrongLogin) == 1 : false; }, 3000);
        EXPECT_EQ(LoggedIn(), c.accepted) << c.name;
        EXPECT_EQ(page().HasTimer(CLogonCORSDlg::TIMER_GGA_UPLOAD), c.accepted) << c.name;
        EXPECT_FALSE(page().LoginPending()) << c.name; // the first data ended the pending login
        EXPECT_EQ(Answers::count(kWrongLogin), c.refused ? 1 : 0) << c.name;
        if (c.refused) {
            EXPECT_TRUE(socketGoneAtBox);
        } else if (c.accepted) {
            diffCommands += 2; // NONE, BEACON
        } else { // still waiting for an answer it understands
            ASSERT_NE(page().m_pVrsSocket, nullptr) << c.name;
            EXPECT_EQ(page().m_pVrsSocket->m_ucLinkState, LINK_LOGIN) << c.name;
        }
        if (page().m_pVrsSocket) {
            Answers no({IDNO});
            Click(IDC_CORS_CONNECT);
            diffCommands += 2; // NONE, BEACON
        }
        EXPECT_TRUE(WaitUntil([&] { return int(DiffCommands().size()) == diffCommands; }, 3000)) << c.name;
        QTest::qWait(100);
        EXPECT_EQ(int(DiffCommands().size()), diffCommands) << c.name;
        EXPECT_EQ(page().m_pVrsSocket, nullptr);
        EXPECT_EQ(caption(), QStringLiteral("连接网络"));
    }
}

TEST_F(CorsPageTest, SourceTablesOfAScriptedCaster)
{
    Start();
    QByteArray big = "SOURCETABLE 200 OK\r\n\r\n";
    const QByteArray longTail = QByteArray(900, 'x') + ";\r\n";
    for (int i = 0; big.size() < 20 * 1024 * 1024; ++i)
        big += "STR;P" + QByteArray::number(i) + ";" + longTail;
    struct Case {
        const char* name;
        std::function<void(ScriptedConnection&)> script;
        QStringList want;           // first names (all of them when short)
        int count;                  // number of entries
        const QString* box;         // the message shown, if any
        double timeScale = 0.1;     // of the socket's time limits
    };
    const Case cases[] = {
        {"split across blocks",
         [](ScriptedConnection& c) {
             const QByteArray t = "SOURCETABLE 200 OK\r\n\r\nSTR;A;a;RTCM\r\nCAS;c;1\r\nSTR;B;b;RTCM\r\nENDSOURCETABLE\r\n";
             for (int i = 0; i < t.size(); i += 7) {
                 Say(c, t.mid(i, 7));
                 QTest::qWait(2);
             }
         },
         {"A", "B"}, 2, nullptr},
        {"20 MB table: the first 8 MB", [&](ScriptedConnection& c) { c.socket->write(big); }, {"P0", "P1"},
         -1, nullptr},
        {"garbage around a record, then a zero byte",
         [](ScriptedConnection& c) {
             Say(c, QByteArray(5000, '\xEE') + "STR;\x01\x02\x03;x\r\n" + QByteArray(100, '\xEE') +
                        QByteArray("\x00STR;AFTER_ZERO;x\r\n", 19));
             c.socket->disconnectFromHost();
         },
         {"\x01\x02\x03"}, 1, nullptr},
        {"silence", [](ScriptedConnection&) {}, {}, 0, nullptr},
        {"a record, then bytes without end",
         [](ScriptedConnection& c) {
             Say(c, "SOURCETABLE 200 OK\r\n\r\nSTR;T;t;RTCM 3.2;1004(1);2;GPS;NET;CHN;31.00;121.00;1;0;x;none;B;N;9600;\r\n");
             auto* more = new QTimer(c.socket);
             QObject::connect(more, &QTimer::timeout, c.socket, [s = c.socket] { s->write(QByteArray(50, '\xD3')); });
             more->start(20);
         },
         {"T"}, 1, nullptr, 0.04},
    };
    for (const Case& c : cases) {
        Clock::setRealScale(c.timeScale);
        Answers answers;
        ScriptedCaster caster(c.script);
        Fill(QStringLiteral("127.0.0.1"), caster.port());
        FetchSources();
        if (c.count >= 0) {
            EXPECT_EQ(sources()->count(), c.count) << c.name;
            EXPECT_EQ(page().m_sources, c.want) << c.name;
        } else {
            // Every record that starts within the first 8 MB, the last one only if 10 characters of it came.
            const QByteArray head = big.left(CCESocket::kWholeAnswerCap);
            int records = int(head.count("STR;"));
            if (head.size() - head.lastIndexOf("STR;") < 10)
                --records;
            EXPECT_EQ(sources()->count(), records) << c.name;
            EXPECT_GT(records, 8000);
            EXPECT_EQ(page().m_sources.mid(0, 2), c.want) << c.name;
        }
        EXPECT_EQ(sources()->currentIndex(), c.count == 0 ? -1 : 0) << c.name;
        EXPECT_TRUE(MessageBoxLog().empty()) << c.name;
        EXPECT_TRUE(page().m_strSourceTable.isEmpty());
    }

    // Nobody listening: the message, with the socket already gone when it shows.
    bool goneAtBox = false;
    Answers answers({}, [&](const MessageBoxCall&) { goneAtBox = page().m_pTableSocket == nullptr; });
    Fill(QStringLiteral("127.0.0.1"), FreePort());
    FetchSources();
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, kHandheldFailed);
    EXPECT_EQ(MessageBoxLog()[0].type, MB_OK);
    EXPECT_TRUE(goneAtBox);
}

TEST_F(CorsPageTest, ConnectRefusesMissingOrUnsafeFields)
{
    // A remembered user holding a line break (a character reference in the file).
    WriteConfig("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<CORSConfig xmlns=\"urn:stavo:cors\" version=\"1001\">\r\n"
                "<ConfigInformation>\r\n<DataCenterAddress>127.0.0.1</DataCenterAddress>\r\n<ServerPort>1</ServerPort>\r\n"
                "<DataSourceList LastSource=\"M\">\r\n<Item>M</Item>\r\n<Item>BAD\r\nHost: x</Item>\r\n</DataSourceList>\r\n"
                "<UserName LastUser=\"u&#13;&#10;Host: x\">\r\n<Item>u</Item>\r\n</UserName>\r\n</ConfigInformation>\r\n"
                "</CORSConfig>\r\n");
    Start();
    ASSERT_EQ(sources()->count(), 2);
    ASSERT_EQ(item<QComboBox>(IDC_CORS_USER)->currentText(), QStringLiteral("u\r\nHost: x"));
    ScriptedCaster caster([](ScriptedConnection& c) { Say(c, "ICY 200 OK\r\n"); });
    auto userBox = item<QComboBox>(IDC_CORS_USER)->lineEdit();
    struct Case {
        const char* name;
        std::function<void()> set;
    };
    const Case cases[] = {
        {"user with a line break (from the file)",
         [&] { Type(item<QLineEdit>(IDC_CORS_PORT), QString::number(caster.port())); Type(item<QLineEdit>(IDC_CORS_PASSWORD), QStringLiteral("p")); }},
        {"mount point with a line break", [&] { Type(userBox, QStringLiteral("u")); sources()->setCurrentIndex(1); }},
        {"empty password", [&] { sources()->setCurrentIndex(0); Type(item<QLineEdit>(IDC_CORS_PASSWORD), QString()); }},
        {"port 0", [&] { Type(item<QLineEdit>(IDC_CORS_PASSWORD), QStringLiteral("p")); Type(item<QLineEdit>(IDC_CORS_PORT), QStringLiteral("0")); }},
        {"port above 65535", [&] { Type(item<QLineEdit>(IDC_CORS_PORT), QString::number(65536 + caster.port())); }},
        {"empty user", [&] { Type(item<QLineEdit>(IDC_CORS_PORT), QString::number(caster.port())); Type(userBox, QString()); }},
        {"no entry selected", [&] { Type(userBox, QStringLiteral("u")); sources()->setCurrentIndex(-1); }},
    };
    Answers answers;
    for (const Case& c : cases) {
        c.set();
        Click(IDC_CORS_CONNECT);
        EXPECT_EQ(page().m_pVrsSocket, nullptr) << c.name;
        EXPECT_EQ(caption(), QStringLiteral("连接网络")) << c.name;
        if (QByteArray(c.name).startsWith("port")) { // a fetch does not start on such a port either
            Click(IDC_CORS_GET_SOURCES);
            EXPECT_EQ(page().m_pTableSocket, nullptr) << c.name;
        }
    }
    QTest::qWait(200);
    EXPECT_TRUE(caster.connections().empty()); // nothing ever reached the caster
    EXPECT_TRUE(MessageBoxLog().empty());
    // And with every field right, the same page connects.
    sources()->setCurrentIndex(0);
    Click(IDC_CORS_CONNECT);
    ASSERT_TRUE(WaitUntil([&] { return LoggedIn(); }));
}

TEST_F(CorsPageTest, TheConnectionEndsOnceWhenTheCasterHalfClosesOrGgaCannotBeSent)
{
    Clock::setRealScale(0.01); // the GGA upload every 600 ms
    Start();
    WaitForGga();
    // Half-open: the caster stops sending (its side shut) but would still read.
    {
        Answers yes({IDYES});
        auto caster = ScriptedLogin([](ScriptedConnection& c) {
            Say(c, "ICY 200 OK\r\n");
            c.socket->waitForBytesWritten(1000);
            QTest::qWait(100);
            Say(c, QByteArray(100, '\xD3'));
            c.socket->waitForBytesWritten(1000);
            ::shutdown(int(c.socket->socketDescriptor()), SHUT_WR);
        });
        ASSERT_TRUE(WaitUntil([&] { return Answers::count(kCorsLost) == 1; }));
        QTest::qWait(300);
        EXPECT_EQ(MessageBoxLog().size(), 1u);
        EXPECT_EQ(page().m_pVrsSocket, nullptr);
        EXPECT_EQ(received(), QStringLiteral("100"));
    }
    // A caster that only listens: GGA every period; then sends fail three times in one tick.
    Answers no({IDNO});
    auto caster = ScriptedLogin([](ScriptedConnection& c) { Say(c, "ICY 200 OK\r\n"); });
    ASSERT_TRUE(WaitUntil([&] { return caster->last() && caster->last()->received.count("$GPGGA") >= 3; }))
        << caster->last()->received.toStdString();
    page().m_pVrsSocket->Close(); // the connection drops; its notice is still queued
    page().SendMessage(WM_TIMER, CLogonCORSDlg::TIMER_GGA_UPLOAD, 0);
    EXPECT_EQ(page().m_pVrsSocket, nullptr);
    EXPECT_EQ(Answers::count(kCorsLost), 1);
    EXPECT_EQ(caption(), QStringLiteral("连接网络"));
    EXPECT_FALSE(page().HasTimer(CLogonCORSDlg::TIMER_GGA_UPLOAD));
    QTest::qWait(300);
    EXPECT_EQ(MessageBoxLog().size(), 1u);
}

TEST_F(CorsPageTest, AnAcceptedLoginWithoutAReceiverPortWritesNoCommand)
{
    Start();
    ASSERT_TRUE(WaitUntil([&] { return m_sim->count(QStringLiteral("$JASC,GPRMC,1")) == 1; }, 15000));
    m_dlg->CloseReceiverPort(); // as the power switch of the parameter page does
    auto caster = ScriptedLogin([](ScriptedConnection& c) { Say(c, "ICY 200 OK\r\n"); });
    ASSERT_TRUE(WaitUntil([&] { return LoggedIn(); }));
    EXPECT_TRUE(page().HasTimer(CLogonCORSDlg::TIMER_GGA_UPLOAD));
    EXPECT_TRUE(Config().contains("<Item>M</Item>"));
    {
        Answers yes({IDYES});
        Click(IDC_CORS_CONNECT);
        EXPECT_EQ(Answers::count(kCorsLost), 1);
    }
    QTest::qWait(300);
    EXPECT_TRUE(DiffCommands().isEmpty()) << m_sim->dump();
}

TEST_F(CorsPageTest, RememberedCastersAreSelectedExactlyAndHistoryClears)
{
    // "10.0.0.10" stored before "10.0.0.1": a prefix search for the second finds the first.
    WriteConfig("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<CORSConfig xmlns=\"urn:stavo:cors\" version=\"1001\">\r\n"
                "<ConfigInformation>\r\n<DataCenterAddress>10.0.0.10</DataCenterAddress>\r\n<ServerPort>2101</ServerPort>\r\n"
                "<DataSourceList LastSource=\"A\">\r\n<Item>AB</Item>\r\n<Item>A</Item>\r\n</DataSourceList>\r\n"
                "<UserName LastUser=\"bob\">\r\n<Item>bobby</Item>\r\n<Item>bob</Item>\r\n</UserName>\r\n</ConfigInformation>\r\n"
                "<ConfigInformation>\r\n<DataCenterAddress>10.0.0.1</DataCenterAddress>\r\n<ServerPort>2102</ServerPort>\r\n"
                "<DataSourceList LastSource=\"b2\">\r\n<Item>B1</Item>\r\n<Item>B2</Item>\r\n</DataSourceList>\r\n"
                "<UserName LastUser=\"u2\">\r\n<Item>u1</Item>\r\n<Item>u2</Item>\r\n</UserName>\r\n</ConfigInformation>\r\n"
                "</CORSConfig>\r\n");
    Start();
    auto* centre = item<QComboBox>(IDC_CORS_DATA_CENTRE);
    auto* users = item<QComboBox>(IDC_CORS_USER);
    ASSERT_EQ(centre->count(), 2);
    EXPECT_EQ(centre->currentIndex(), 1);
    EXPECT_EQ(centre->currentText(), QStringLiteral("10.0.0.1"));
    EXPECT_EQ(item<QLineEdit>(IDC_CORS_PORT)->text(), QStringLiteral("2102"));
    EXPECT_EQ(page().m_sources, (QStringList{QStringLiteral("B1"), QStringLiteral("B2")}));
    EXPECT_EQ(sources()->currentText(), QStringLiteral("B2")); // no exact "b2": the prefix search, case ignored
    EXPECT_EQ(users->currentText(), QStringLiteral("u2"));

    // The user picks the other caster: its own port, mount points and user, the exact entries first.
    centre->setFocus();
    QTest::keyClick(centre, Qt::Key_Up);
    EXPECT_EQ(centre->currentText(), QStringLiteral("10.0.0.10"));
    EXPECT_EQ(item<QLineEdit>(IDC_CORS_PORT)->text(), QStringLiteral("2101"));
    EXPECT_EQ(sources()->currentText(), QStringLiteral("A"));
    EXPECT_EQ(users->currentIndex(), 1);
    EXPECT_EQ(users->currentText(), QStringLiteral("bob"));

    // Clear history: the list goes, the typed address stays, the file is the empty one.
    Type(centre->lineEdit(), QStringLiteral("192.168.0.9"));
    Click(IDC_CORS_CLEAR_HISTORY);
    EXPECT_EQ(centre->count(), 0);
    EXPECT_EQ(centre->currentText(), QStringLiteral("192.168.0.9"));
    EXPECT_EQ(sources()->count(), 2);
    EXPECT_EQ(Config().count("\r\n"), 9);
    EXPECT_TRUE(Config().contains("<DataCenterAddress>NULL</DataCenterAddress>"));
}

TEST_F(CorsPageTest, LocalAddressesAtStartUp)
{
    struct Case {
        std::vector<std::array<BYTE, 4>> addresses;
        bool nextShown;
        QStringList shownAfterClicks; // the box after start, then after each click on "下一个"
        bool errorBox;
    };
    const Case cases[] = {
        {{{192, 168, 1, 20}}, false, {"192.168.1.20"}, false},
        {{{192, 168, 1, 20}, {10, 0, 0, 7}}, true, {"192.168.1.20", "10.0.0.7", "192.168.1.20"}, false},
        {{}, true, {""}, true},
    };
    for (const Case& c : cases) {
        CCESocket::SetLocalAddressSource([&c] {
            HostEntry e;
            e.h_addrtype = c.addresses.empty() ? 0 : 2;
            e.h_addr_list = c.addresses;
            return e;
        });
        Answers answers;
        Start();
        EXPECT_EQ(item<QPushButton>(IDC_CORS_NEXT_IP)->isVisible(), c.nextShown);
        auto* local = item<QLineEdit>(IDC_CORS_LOCAL_IP);
        for (int i = 0; i < c.shownAfterClicks.size(); ++i) {
            if (i > 0)
                Click(IDC_CORS_NEXT_IP);
            EXPECT_EQ(local->text(), c.shownAfterClicks[i]) << i;
        }
        ASSERT_EQ(MessageBoxLog().size(), c.errorBox ? 1u : 0u);
        if (c.errorBox) {
            EXPECT_EQ(MessageBoxLog()[0].text, QStringLiteral("连接网络失败，请检查网络连接！"));
            EXPECT_EQ(MessageBoxLog()[0].caption, QStringLiteral("ERROR"));
            EXPECT_EQ(MessageBoxLog()[0].type, MB_ICONEXCLAMATION);
        }
        m_dlg.reset();
        m_app.reset();
    }
}

// Pictures of the page for the documentation (scripts/screenshots.sh sets STAVO_SCREENSHOT_DIR): with
// a source table fetched from the real caster, and connected with the byte count running.
TEST_F(CorsPageTest, Screenshots)
{
    const QString dir = qEnvironmentVariable("STAVO_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "STAVO_SCREENSHOT_DIR not set";
    Str2Str caster;
    ASSERT_TRUE(caster.ok());
    Start();
    Fill(QStringLiteral("127.0.0.1"), caster.casterPort(), QStringLiteral("user"), QStringLiteral("pass"));
    FetchSources();
    ASSERT_EQ(sources()->count(), 2);
    WaitForGga();
    QTest::qWait(1500); // a few positions in the status area
    ASSERT_TRUE(m_dlg->grab().save(dir + QStringLiteral("/cors-source-table.png")));

    Click(IDC_CORS_CONNECT);
    ASSERT_TRUE(WaitUntil([&] { return LoggedIn(); }));
    const QByteArray rtcm = TestData("rtklib_testglo.rtcm3");
    for (int at = 0; at < 30000; at += 1000) {
        caster.feed(rtcm.mid(at, 1000));
        QTest::qWait(50);
    }
    ASSERT_TRUE(WaitUntil([&] { return received().toInt() >= 30000; }));
    ASSERT_TRUE(WaitUntil([&] { return m_dlg->m_stStatus.text().startsWith(QStringLiteral("固定H:")); }, 20000))
        << qPrintable(m_dlg->m_stStatus.text());
    ASSERT_TRUE(m_dlg->grab().save(dir + QStringLiteral("/cors-connected.png")));
    Answers no({IDNO});
    Click(IDC_CORS_CONNECT);
}

TEST_F(CorsPageTest, ALoginIsRememberedWithTheFieldsItWasMadeWith)
{
    // While caster A keeps the login waiting, the user fetches caster B's table (which reads the
    // page's fields anew); A's acceptance must still be stored as A's.
    Start();
    ScriptedConnection* waiting = nullptr;
    auto table = [](const char* mount) {
        return QByteArray("SOURCETABLE 200 OK\r\n\r\nSTR;") + mount +
               ";M;RTCM 3.2;1004(1);2;GPS;NET;CHN;31.00;121.00;1;0;x;none;B;N;9600;\r\nENDSOURCETABLE\r\n";
    };
    ScriptedCaster a([&](ScriptedConnection& c) {
        if (!c.received.startsWith("GET / ")) {
            waiting = &c;
            return;
        }
        Say(c, table("MA"));
        c.socket->disconnectFromHost();
    });
    ScriptedCaster b([&](ScriptedConnection& c) {
        Say(c, table("MB"));
        c.socket->disconnectFromHost();
    });
    Fill(QStringLiteral("127.0.0.1"), a.port(), QStringLiteral("user"), QStringLiteral("pass"));
    FetchSources();
    Click(IDC_CORS_CONNECT);
    ASSERT_TRUE(WaitUntil([&] { return waiting != nullptr; }));
    Type(item<QComboBox>(IDC_CORS_DATA_CENTRE)->lineEdit(), QStringLiteral("localhost"));
    Type(item<QLineEdit>(IDC_CORS_PORT), QString::number(b.port()));
    Type(item<QComboBox>(IDC_CORS_USER)->lineEdit(), QStringLiteral("other"));
    FetchSources();
    ASSERT_EQ(sources()->currentText(), QStringLiteral("MB"));
    Say(*waiting, "ICY 200 OK\r\n");
    ASSERT_TRUE(WaitUntil([&] { return LoggedIn(); }));
    EXPECT_EQ(Config(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<CORSConfig xmlns=\"urn:stavo:cors\" version=\"1001\">\r\n"
              "<ConfigInformation>\r\n<DataCenterAddress>127.0.0.1</DataCenterAddress>\r\n<ServerPort>" +
                  QByteArray::number(a.port()) +
                  "</ServerPort>\r\n<DataSourceList LastSource=\"MA\">\r\n<Item>MA</Item>\r\n</DataSourceList>\r\n"
                  "<UserName LastUser=\"user\">\r\n<Item>user</Item>\r\n</UserName>\r\n</ConfigInformation>\r\n"
                  "</CORSConfig>\r\n");
}
