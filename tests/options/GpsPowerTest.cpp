// GPS power control as the parameter page's power button runs it: the driver's two switches with
// their messages and debug texts, and taps on the page's button against the simulated receiver and
// its driver stand-in: the sequence on the main window, the state read back from the registry and
// what the button shows.

#include "SimWindowFixture.h"

#include "app/StavoDlg.h"
#include "receiver/GPSStatusDlg.h"
#include "receiver/GpsPower.h"
#include "res/resource.h"

#include "platform/Clock.h"
#include "platform/Controls.h"
#include "platform/DebugOutput.h"
#include "platform/GdiObjects.h"
#include "platform/MessageBox.h"
#include "platform/NamedDevice.h"
#include "tessel/MyDialog.h"
#include "wirra/CSIFormat.h"
#include "wirra/TrimblePort.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

using namespace platform;
using namespace stavo;

namespace {

// What to stop before the test process ends abruptly (the simulator, else left running).
std::function<void()> g_beforeAbort;

// Records every message box and debug text; answers boxes with their first button. The port-busy box
// would be followed by the end of the process: the test stops loudly there instead.
struct Recorder {
    Recorder()
    {
        ClearMessageBoxLog();
        SetMessageBoxResponder([](const MessageBoxCall& c) {
            if (c.text == QStringLiteral("GPS连接端口已被占用！")) {
                std::fprintf(stderr, "the receiver port could not be opened\n");
                if (g_beforeAbort)
                    g_beforeAbort();
                std::abort();
            }
            return DefaultMessageBoxResult(c.type);
        });
        SetDebugOutputHook([this](const QString& t) { debug << t; });
    }
    ~Recorder()
    {
        SetMessageBoxResponder(nullptr);
        SetDebugOutputHook(nullptr);
    }
    QStringList boxes() const
    {
        QStringList out;
        for (const MessageBoxCall& c : MessageBoxLog())
            out << QStringLiteral("%1|%2|%3").arg(c.type).arg(c.caption, c.text);
        return out;
    }
    QStringList debug;
};

class FakeDriver : public DeviceDriver {
public:
    explicit FakeDriver(DWORD error) : m_error(error) {}
    DWORD IoControl(DWORD code, const QByteArray&, QByteArray*) override
    {
        codes.push_back(code);
        return m_error;
    }
    std::vector<DWORD> codes;

private:
    DWORD m_error;
};

} // namespace

TEST(GpsPowerSwitch, DriverRequestsWithTheirMessagesAndDebugTexts)
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    struct Case {
        bool on;
        int driver; // -1 none, else the error it answers with (0: done)
        QStringList boxes;
        QStringList debug;
    } cases[] = {
        {true, -1, {"0||Failed to load driver!\r\n"}, {}},
        {false, -1, {"0||Failed to load driver!\r\n"}, {"GPSpower off\r\n"}},
        {true, 0, {}, {"GPSpower on\r\n", "power on DeviceIoControl succeed!\r\n"}},
        {false, 0, {}, {"GPSpower off\r\n", " POWER_OFF DeviceIoControl succeed!\r\n"}},
        {true, 31, {"0||DeviceIoControl failed! - 31"}, {"GPSpower on\r\n", "GPSpower on: failed"}},
        {false, 1167, {"0||DeviceIoControl failed! - 1167"}, {"GPSpower off\r\n", "GPSpower OFF: failed"}},
    };
    QWidget page;
    for (const Case& c : cases) {
        Recorder r;
        FakeDriver driver{DWORD(c.driver)};
        if (c.driver >= 0)
            RegisterDeviceDriver(QStringLiteral("GPD1:"), &driver);
        c.on ? GpsPowerOn(&page) : GpsPowerOff(&page);
        UnregisterDeviceDriver(QStringLiteral("GPD1:"));
        EXPECT_EQ(r.boxes(), c.boxes) << c.on << " " << c.driver;
        EXPECT_EQ(r.debug, c.debug) << c.on << " " << c.driver;
        if (c.driver >= 0) {
            EXPECT_EQ(driver.codes, std::vector<DWORD>{c.on ? 0x00320800u : 0x00320804u});
        }
        // Closed again: the next switch can open the device.
        HANDLE h = CreateFile(QStringLiteral("GPD1:"), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    }
    qunsetenv("XDG_CONFIG_HOME");
}

// A main window running against the simulated receiver with the given options.
class PowerToggle : public SimWindowFixture {
protected:
    void start(QStringList simArgs, double scale)
    {
        ASSERT_NO_FATAL_FAILURE(StartSim(simArgs, scale));
        g_beforeAbort = [this] { m_sim.reset(); };
        m_dlg = std::make_unique<CStavoDlg>();
        m_dlg->Create(IDD_STAVO_DIALOG, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return m_sim->count(QStringLiteral("$JASC,GPRMC,1")) == 1; }, 20000))
            << m_sim->dump();
        ASSERT_TRUE(WaitUntil([&] { return m_dlg->m_pDecoder->m_nGpsWeek != 0; })) << m_sim->dump();
    }
    void TearDown() override
    {
        SimWindowFixture::TearDown();
        g_beforeAbort = nullptr;
        m_sim.reset();
    }
    CGPSStatusDlg& page() { return *dynamic_cast<CGPSStatusDlg*>(m_dlg->Page(PAGE_STATUS)); }
    // A tap on the page's power button (shown where the driver is there); the registry's state after.
    GpsPowerState toggle()
    {
        CIconButton& button = page().m_btnPower;
        EXPECT_TRUE(button.isVisible());
        QTest::mouseClick(&button, Qt::LeftButton);
        return ReadGpsPowerState();
    }
    // What the power button shows: its icon as the resource it was loaded from, and its text.
    QString buttonLook()
    {
        const CIconButton& button = page().m_btnPower;
        const QImage shown = IconImage(button.IconHandle(0)).convertToFormat(QImage::Format_ARGB32);
        UINT icon = 0;
        for (UINT id : {142u, 145u}) {
            HICON h = LoadIcon(id);
            if (!shown.isNull() && IconImage(h).convertToFormat(QImage::Format_ARGB32) == shown)
                icon = id;
            DestroyIcon(h);
        }
        return QStringLiteral("%1 %2 %3x%4")
            .arg(icon)
            .arg(GetWindowText(&button))
            .arg(button.IconDrawSize(0).width())
            .arg(button.IconDrawSize(0).height());
    }
};

TEST_F(PowerToggle, OffWithTheDriverMissingClosesThePortAndSaysSo)
{
    start({QStringLiteral("--baud"), QStringLiteral("9600")}, 0.1);
    CIconButton& button = page().m_btnPower;
    // No driver: the button is not offered, and shows the registry's state (powered: an external
    // receiver powers itself).
    EXPECT_TRUE(button.isHidden());
    EXPECT_EQ(buttonLook(), QStringLiteral("142 关闭 32x32"));
    // The driver gone after the page was set up: the command a tap on the button sends.
    Recorder r;
    page().SendMessage(WM_COMMAND, MAKELONG(WORD(IDC_GPS_POWER), BN_CLICKED), LPARAM(&button));
    EXPECT_EQ(m_dlg->m_pPort, nullptr);
    EXPECT_EQ(m_dlg->m_bDataSeen, 0);
    EXPECT_EQ(r.boxes(), QStringList{QStringLiteral("0||Failed to load driver!\r\n")});
    EXPECT_EQ(r.debug, QStringList{QStringLiteral("GPSpower off\r\n")});
    EXPECT_TRUE(WaitUntil([&] { return m_sim->count(QStringLiteral("$JOFF")) >= 3; })); // outputs off before closing
    // The registry still reads powered, and the button keeps saying so.
    EXPECT_EQ(page().m_nPowerStatus, 1u);
    EXPECT_EQ(buttonLook(), QStringLiteral("142 关闭 32x32"));
}

TEST_F(PowerToggle, OffAndOnSilencesAndRevivesTheReceiverAndProbingResumes)
{
    // The receiver powers up at 38400 (nothing saved): found on attempt 2 and brought to 9600.
    ASSERT_LE(CStavoDlg::ProbeAttempts(), 0) << "this test needs the program's first probe attempts";
    start({QStringLiteral("--baud"), QStringLiteral("38400"), QStringLiteral("--power-driver"), QStringLiteral("--seed"),
           QStringLiteral("9"), QStringLiteral("--time-scale"), QStringLiteral("5")},
          0.1);
    const int found = CStavoDlg::ProbeAttempts();
    EXPECT_EQ(found, 2);
    EXPECT_EQ(buttonLook(), QStringLiteral("142 关闭 32x32"));
    // Offered here, the button leaves the label of the list's last row uncovered.
    CParamListCtrl& list = page().m_list;
    const QRect label = list.GetCellRect(8, 0, true);
    const QRect labelOnPage(list.viewport()->mapTo(&page(), label.topLeft()), label.size());
    EXPECT_FALSE(page().m_btnPower.geometry().intersects(labelOnPage));
    Recorder r;
    GpsPowerState s = toggle();
    EXPECT_EQ(s.powerStatus, 0u);
    EXPECT_EQ(s.openPower, 1u);
    EXPECT_EQ(page().m_nPowerStatus, 0u);
    EXPECT_EQ(buttonLook(), QStringLiteral("145 开启 32x32"));
    // The start-up preference reaches the radio group.
    auto* offAtStart = qobject_cast<QAbstractButton*>(page().GetDlgItem(IDC_POWER_OFF_AT_START));
    auto* onAtStart = qobject_cast<QAbstractButton*>(page().GetDlgItem(IDC_POWER_ON_AT_START));
    ASSERT_TRUE(offAtStart && onAtStart);
    EXPECT_FALSE(offAtStart->isChecked());
    EXPECT_TRUE(onAtStart->isChecked());
    EXPECT_EQ(r.debug, (QStringList{"GPSpower off\r\n", " POWER_OFF DeviceIoControl succeed!\r\n"}));
    EXPECT_TRUE(r.boxes().isEmpty());
    ASSERT_TRUE(WaitUntil([&] { return m_sim->count(QStringLiteral("POWER OFF")) == 1; }));
    EXPECT_TRUE(WaitUntil([&] { return m_dlg->m_stStatus.text() == QStringLiteral("端口无数据"); }));

    r.debug.clear();
    s = toggle();
    EXPECT_EQ(s.powerStatus, 1u);
    EXPECT_EQ(buttonLook(), QStringLiteral("142 关闭 32x32"));
    EXPECT_EQ(r.debug, (QStringList{"GPSpower on\r\n", "power on DeviceIoControl succeed!\r\n"}));
    ASSERT_NE(m_dlg->m_pPort, nullptr);
    EXPECT_EQ(m_dlg->m_stStatus.text(), QStringLiteral("正在初始化GPS接收机..."));
    EXPECT_TRUE(m_dlg->HasTimer(TIMER_BAUD_PROBE));
    // Back at its power-up rate, the receiver is found again when the table comes round to 38400.
    ASSERT_TRUE(WaitUntil([&] { return m_sim->count(QStringLiteral("$JASC,GPRMC,1")) == 2; }, 30000)) << m_sim->dump();
    EXPECT_EQ(CStavoDlg::ProbeAttempts(), found + 12);
    EXPECT_EQ(m_sim->count(QStringLiteral("$JBAUD,9600")), 2);
    EXPECT_TRUE(WaitUntil([&] { return m_dlg->m_stStatus.text().contains(QStringLiteral("差分")); }))
        << qPrintable(m_dlg->m_stStatus.text());
    EXPECT_TRUE(r.boxes().isEmpty());
}

TEST_F(PowerToggle, OnWaitsForAUsbReceiversDeviceToComeBack)
{
    start({QStringLiteral("--baud"), QStringLiteral("9600"), QStringLiteral("--power-driver"), QStringLiteral("--replug-ms"),
           QStringLiteral("1000")},
          1.0);
    Recorder r;
    const QString device = m_sim->dataFolder() + QStringLiteral("/ttySIM");
    toggle();
    ASSERT_TRUE(WaitUntil([&] { return !QFileInfo::exists(device); }, 5000));
    toggle(); // the device is back a second after the power: the port opens then
    EXPECT_TRUE(QFileInfo::exists(device));
    ASSERT_NE(m_dlg->m_pPort, nullptr);
    EXPECT_NE(m_dlg->m_pPort->handle(), -1);
    EXPECT_TRUE(WaitUntil([&] { return m_sim->count(QStringLiteral("$JASC,GPRMC,1")) == 2; })) << m_sim->dump();
    EXPECT_TRUE(r.boxes().isEmpty());
}
