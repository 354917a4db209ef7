// The options page: the zone list and its selection from the device, the user's choice, the local
// time line with leap seconds, the system clock set from a real message 99, and the line refreshed by
// RMC only while the tab shows (against the simulated receiver).

#include "SimWindowFixture.h"
#include "TabTap.h"

#include "app/StavoDlg.h"
#include "options/StavoOption.h"
#include "res/resource.h"

#include "geodra/Geodra.h"
#include "platform/Clock.h"
#include "platform/DataFolder.h"
#include "platform/DialogTemplate.h"
#include "platform/SystemTime.h"
#include "wirra/CSIFormat.h"
#include "wirra/Framer.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace platform;

namespace {

void writeZone(const char* zone)
{
    QFile f(DataFile(QStringLiteral("timezone")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(zone);
}

// The page on a main window that is not run: its decoder is all the page reads from it.
class OptionsPage : public ::testing::Test {
protected:
    void SetUp() override { qputenv("XDG_CONFIG_HOME", m_home.path().toUtf8()); }
    void TearDown() override
    {
        m_page.reset();
        m_main.reset();
        SetSystemTimeHook(nullptr);
        qunsetenv("XDG_CONFIG_HOME");
    }
    CStavoOption& makePage()
    {
        m_page.reset();
        m_main = std::make_unique<CStavoDlg>();
        m_main->m_pDecoder = new CCSIFormat;
        m_page = std::make_unique<CStavoOption>();
        m_page->Create(IDD_STAVO_OPTION, nullptr);
        m_page->m_pMainDlg = m_main.get();
        m_page->show();
        return *m_page;
    }
    CCSIFormat& decoder() { return *m_main->m_pDecoder; }
    // As the user does it: the list drops down, a tap on the entry.
    void choose(const QString& zone)
    {
        QComboBox& c = m_page->m_cbTimeZone;
        QTest::mouseClick(&c, Qt::LeftButton);
        QAbstractItemView* v = c.view();
        ASSERT_TRUE(WaitUntil([v] { return v->isVisible(); }, 3000));
        QTest::qWait(QApplication::doubleClickInterval() + 100); // a list takes no tap the moment it opens
        const QModelIndex index = v->model()->index(c.findText(zone), 0);
        ASSERT_TRUE(index.isValid()) << qPrintable(zone);
        v->scrollTo(index);
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(index).center());
        ASSERT_TRUE(WaitUntil([v] { return !v->isVisible(); }, 3000));
    }
    void setTime(long week, double tow, int reportedGpsUtc)
    {
        decoder().m_nGpsWeek = std::int16_t(week);
        decoder().m_dGpsSeconds = tow;
        decoder().m_ulGpsSeconds = std::uint32_t(tow);
        decoder().m_nLeapSeconds = reportedGpsUtc;
    }

    QTemporaryDir m_home;
    std::unique_ptr<CStavoDlg> m_main;
    std::unique_ptr<CStavoOption> m_page;
};

// The first complete binary message 99 of the real capture.
std::string firstMessage99()
{
    const char* dir = std::getenv("STAVO_TEST_DATA");
    std::ifstream in(std::string(dir ? dir : "tests/data") + "/cres_20080526.bin", std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    struct First : wirra::FrameSink {
        std::string frame;
        void OnFrame(int type, unsigned id, const char* bytes, std::size_t n) override
        {
            if (type == 27 && id == 99 && frame.empty())
                frame.assign(bytes, n);
        }
    } sink;
    wirra::Framer framer(sink);
    framer.Feed(data.data(), data.size(), 0);
    framer.Finish();
    return sink.frame;
}

} // namespace

TEST_F(OptionsPage, ListsTheTwentyFourZonesAndSelectsTheDevicesOwn)
{
    for (const char* zone : {"8:00", "-5:00", "12:00", "-11:00", "0:00"}) {
        writeZone(zone);
        CStavoOption& p = makePage();
        ASSERT_EQ(p.m_cbTimeZone.count(), 24);
        EXPECT_EQ(p.m_cbTimeZone.itemText(0), QStringLiteral("-11:00"));
        EXPECT_EQ(p.m_cbTimeZone.itemText(11), QStringLiteral("0:00"));
        EXPECT_EQ(p.m_cbTimeZone.itemText(23), QStringLiteral("12:00"));
        EXPECT_EQ(p.m_cbTimeZone.currentText(), QString::fromLatin1(zone));
        EXPECT_EQ(p.m_strTimeZone, QString::fromLatin1(zone));
    }
    CStavoOption& p = *m_page;
    EXPECT_EQ(p.GetDlgItemText(IDC_BUILD_STAMP), QStringLiteral("Build @ 2011/03/29 10:40:21"));
    EXPECT_EQ(p.m_stLocalTime.text(), QStringLiteral("--"));
    EXPECT_EQ(p.m_stLocalTime.FontSize(), 28);
    EXPECT_EQ(p.m_cbTimeZone.parentWidget(), &p);
    EXPECT_LT(p.m_cbTimeZone.height(), 60); // the box at its own height; 53 units is the dropped list
}

// The template gives the zone list 53 units with the list dropped: below the box, a few entries and a
// scroll bar, the device's zone among them; never a list over the box as tall as the screen.
TEST_F(OptionsPage, TheZoneListDropsBelowTheBoxWithinItsTemplateHeight)
{
    writeZone("8:00");
    CStavoOption& p = makePage();
    QComboBox& c = p.m_cbTimeZone;
    QTest::mouseClick(&c, Qt::LeftButton);
    QAbstractItemView* v = c.view();
    ASSERT_TRUE(WaitUntil([v] { return v->isVisible(); }, 3000));
    const QWidget* list = v->window();
    const int boxTop = c.mapToGlobal(QPoint(0, 0)).y();
    const QSize base = DialogBaseUnits(QStringLiteral("MS Shell Dlg"), 9);
    const int dropped = MapDialogRect(QRect(68, 14, 48, 53), base).height();
    EXPECT_GE(list->mapToGlobal(QPoint(0, 0)).y(), boxTop + c.height() - 2);
    EXPECT_LE(list->mapToGlobal(QPoint(0, list->height())).y(), boxTop + dropped + 4);
    EXPECT_TRUE(v->verticalScrollBar()->isVisible());
    const QModelIndex zone = v->model()->index(c.findText(QStringLiteral("8:00")), 0);
    EXPECT_TRUE(v->viewport()->rect().contains(v->visualRect(zone).center()));
    c.hidePopup();
}

TEST_F(OptionsPage, LocalTimeLineAppliesLeapSecondsAndTheZone)
{
    CStavoOption& p = makePage();
    struct Case {
        long week;
        double tow;
        int reported; // GPS-UTC from message 99; 0 before one (the table's then)
        const char* zone;
        const char* line;
    } cases[] = {
        {1630, 0, 0, "8:00", "2011年04月03日07时59分45秒"},   // GPS-UTC was 15 s in April 2011
        {1630, 0, 16, "8:00", "2011年04月03日07时59分44秒"},  // the receiver's own figure wins
        {1630, 0, 0, "-5:00", "2011年04月02日18时59分45秒"},
        {1630, 604000, 0, "12:00", "2011年04月10日11时46分25秒"}, // beyond one week
        {1630, 100, 0, "-11:00", "2011年04月02日13时01分25秒"},   // a negative sum
        {1481, 108094.9, 14, "0:00", "2008年05月26日06时01分20秒"}, // whole seconds of the week
    };
    for (const Case& c : cases) {
        vSetTimeZoneIndex(QString::fromLatin1(c.zone));
        setTime(c.week, c.tow, c.reported);
        p.UpdateLocalTime();
        EXPECT_EQ(p.m_stLocalTime.text(), QString::fromUtf8(c.line)) << c.week << " " << c.tow << " " << c.zone;
    }
}

TEST_F(OptionsPage, ChoosingAZoneSetsItForTheDeviceAndTheNextLineShowsIt)
{
    writeZone("8:00");
    CStavoOption& p = makePage();
    setTime(1630, 0, 0);
    p.UpdateLocalTime();
    EXPECT_EQ(p.m_stLocalTime.text(), QStringLiteral("2011年04月03日07时59分45秒"));
    choose(QStringLiteral("-5:00"));
    EXPECT_EQ(strGetTimeZoneIndex(), QStringLiteral("-5:00"));
    EXPECT_EQ(lngGetTimeZoneSec(), -18000);
    EXPECT_EQ(p.m_strTimeZone, QStringLiteral("-5:00"));
    EXPECT_EQ(p.m_stLocalTime.text(), QStringLiteral("2011年04月03日07时59分45秒")); // until the next RMC
    p.UpdateLocalTime();
    EXPECT_EQ(p.m_stLocalTime.text(), QStringLiteral("2011年04月02日18时59分45秒"));
}

TEST_F(OptionsPage, SetsTheSystemClockInUtcFromARealMessage99ToTheSecond)
{
    const std::string frame = firstMessage99();
    ASSERT_EQ(frame.size(), 316u);
    struct Case {
        const char* what;
        bool feed;     // the capture's message 99, else a fresh decoder
        double tow;    // < 0: as decoded
        const char* set; // what the clock is set to, empty: nothing
    } cases[] = {
        // 06:01:34 GPS time; the receiver reports GPS-UTC 14 s.
        {"capture", true, -1, "2008-05-26 06:01:20.000"},
        {"fraction", true, 108094.75, "2008-05-26 06:01:20.750"},
        {"nothing decoded", false, -1, ""}, // week 0: never January 1980
    };
    for (const Case& c : cases) {
        std::vector<SYSTEMTIME> set;
        SetSystemTimeHook([&set](const SYSTEMTIME& t) {
            set.push_back(t);
            return TRUE;
        });
        CStavoOption& p = makePage();
        if (c.feed)
            decoder().ProcessSBinaryMsg99(frame.data(), int(frame.size()));
        if (c.tow >= 0)
            decoder().m_dGpsSeconds = c.tow;
        QTest::mouseClick(p.GetDlgItem(IDC_SET_SYSTEM_TIME), Qt::LeftButton);
        QString got;
        for (const SYSTEMTIME& t : set)
            got += QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d.%03d", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                                     t.wSecond, t.wMilliseconds);
        EXPECT_EQ(got, QString::fromLatin1(c.set)) << c.what;
    }
}

// The page inside the running program: RMC refreshes the line only while tab 5 shows.
using OptionsTab = SimWindowFixture;

TEST_F(OptionsTab, RefreshesOnRmcOnlyWhileItShows)
{
    ASSERT_NO_FATAL_FAILURE(StartSim({QStringLiteral("--baud"), QStringLiteral("9600"), QStringLiteral("--seed"),
                                      QStringLiteral("5"), QStringLiteral("--start-time"),
                                      QStringLiteral("2011-04-03T00:00:00"), QStringLiteral("--time-scale"),
                                      QStringLiteral("5")}));
    writeZone("8:00");
    m_dlg = std::make_unique<CStavoDlg>();
    CStavoDlg& d = *m_dlg;
    d.Create(IDD_STAVO_DIALOG, nullptr);
    auto* page = dynamic_cast<CStavoOption*>(d.Page(stavo::PAGE_OPTIONS));
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return d.m_pDecoder->m_nGpsWeek == 1630; }, 15000)) << m_sim->dump();
    EXPECT_EQ(page->m_stLocalTime.text(), QStringLiteral("--")); // tab 0 shows

    auto tap = [&](int tab) { ASSERT_TRUE(TapTab(d.m_tab, tab)); };
    tap(stavo::PAGE_OPTIONS);
    ASSERT_TRUE(WaitUntil([&] { return page->m_stLocalTime.text().startsWith(QStringLiteral("2011年04月03日08时")); }))
        << qPrintable(page->m_stLocalTime.text());
    const QString first = page->m_stLocalTime.text();
    ASSERT_TRUE(WaitUntil([&] { return page->m_stLocalTime.text() != first; })); // the time runs

    tap(stavo::PAGE_STATUS);
    const QString shown = page->m_stLocalTime.text();
    const auto tow = d.m_pDecoder->m_ulGpsSeconds;
    ASSERT_TRUE(WaitUntil([&] { return d.m_pDecoder->m_ulGpsSeconds >= tow + 3; }));
    EXPECT_EQ(page->m_stLocalTime.text(), shown);
}
