// Both satellite pages inside the main window, fed by the simulated receiver on its pseudo-terminal:
// the sky page repaints on message 99 while its tab shows and its discs follow the satellites on the
// screen; neither page is refreshed while another tab shows.

#include "../app/SimWindowFixture.h"
#include "../app/TabTap.h"

#include "app/Pages.h"
#include "app/StavoApp.h"
#include "app/StavoDlg.h"
#include "res/resource.h"
#include "satellites/SkyGeometry.h"

#include "platform/Clock.h"
#include "platform/KeyRouter.h"
#include "wirra/CSIFormat.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

using namespace platform;

namespace {

struct Painted {
    double tow = 0;
    std::vector<CSatRecord> sats;
};

// Notes every paint of a widget with the decoder's table at that moment (what the paint shows).
class PaintLog : public QObject {
public:
    explicit PaintLog(const CCSIFormat* decoder) : m_decoder(decoder) {}
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) {
            Painted p;
            p.tow = m_decoder->m_dGpsSeconds;
            p.sats.assign(m_decoder->m_sats, m_decoder->m_sats + m_decoder->m_nSatCount);
            paints.push_back(p);
        }
        return false;
    }
    std::vector<Painted> paints;

private:
    const CCSIFormat* m_decoder;
};

class SatSimTest : public SimWindowFixture {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(StartSim({QStringLiteral("--baud"), QStringLiteral("9600"), QStringLiteral("--seed"),
                                          QStringLiteral("11"), QStringLiteral("--time-scale"), QStringLiteral("30")}));
        ASSERT_NO_FATAL_FAILURE(StartWindow());
        ASSERT_TRUE(WaitUntil([&] { return m_dlg->m_pDecoder->m_nSatCount >= 8; }, 30000)) << m_sim->dump();
    }
    void showTab(int index)
    {
        ASSERT_TRUE(TapTab(m_dlg->m_tab, index));
    }
    // What the window shows now, as painted last (not painted anew).
    QImage screen() { return QGuiApplication::primaryScreen()->grabWindow(m_dlg->winId()).toImage(); }
    // Checks the disc of every satellite that no other disc overlaps, on the screen; returns how many.
    int checkDiscs(const QImage& shot, const std::vector<CSatRecord>& sats, CSatMapSNR* sky)
    {
        const stavo::SkyPlotFrame frame = stavo::SkyPlotFrameFor(sky->rect());
        int checked = 0;
        for (const CSatRecord& s : sats) {
            const QPoint c = stavo::SkyPosition(frame, s.m_nElevation, s.m_nAzimuth);
            bool alone = true;
            for (const CSatRecord& o : sats)
                if (&o != &s && (stavo::SkyPosition(frame, o.m_nElevation, o.m_nAzimuth) - c).manhattanLength() < 60)
                    alone = false;
            if (!alone)
                continue;
            const QColor want = s.m_nPrn > 37 ? QColor(96, 156, 156) : s.m_nSnr >= 15 ? QColor(0, 0, 255) : QColor(0, 255, 0);
            for (int dx : {-5, 5}) {
                const QPoint at = sky->mapTo(m_dlg.get(), c + QPoint(dx, 11));
                EXPECT_EQ(QColor(shot.pixel(at)), want) << "PRN " << s.m_nPrn << " at " << c.x() << "," << c.y();
            }
            ++checked;
        }
        return checked;
    }
};

QPoint PositionOf(const std::vector<CSatRecord>& sats, int prn, const stavo::SkyPlotFrame& f)
{
    for (const CSatRecord& s : sats)
        if (s.m_nPrn == prn)
            return stavo::SkyPosition(f, s.m_nElevation, s.m_nAzimuth);
    return {-1000, -1000};
}

} // namespace

TEST_F(SatSimTest, SkyPageFollowsTheSatellitesOnlyWhileItsTabShows)
{
    auto* sky = dynamic_cast<CSatMapSNR*>(m_dlg->Page(stavo::PAGE_SKY));
    ASSERT_NE(sky, nullptr);
    PaintLog log(m_dlg->m_pDecoder);
    sky->installEventFilter(&log);

    showTab(stavo::PAGE_SKY);
    ASSERT_TRUE(WaitUntil([&] { return log.paints.size() >= 10; }, 20000));
    // After the first paint (the tab coming into view) each paint shows a newer message 99.
    for (std::size_t i = 2; i < log.paints.size(); ++i)
        EXPECT_GT(log.paints[i].tow, log.paints[i - 1].tow) << i;
    const Painted first = log.paints.back();
    EXPECT_GE(checkDiscs(screen(), first.sats, sky), 2);

    // The satellites move: once a painted disc is 2 pixels or more from where it was, the screen
    // shows every lone disc at its new place.
    const stavo::SkyPlotFrame frame = stavo::SkyPlotFrameFor(sky->rect());
    auto moved = [&] {
        for (const CSatRecord& s : log.paints.back().sats)
            if ((PositionOf(first.sats, s.m_nPrn, frame) - stavo::SkyPosition(frame, s.m_nElevation, s.m_nAzimuth))
                    .manhattanLength() >= 2 &&
                PositionOf(first.sats, s.m_nPrn, frame).x() > -1000)
                return true;
        return false;
    };
    ASSERT_TRUE(WaitUntil(moved, 60000)) << "no satellite moved";
    EXPECT_GE(checkDiscs(screen(), log.paints.back().sats, sky), 2);

    // Another tab: messages 99 go on being decoded, the hidden page is not repainted.
    showTab(stavo::PAGE_STATUS);
    QTest::qWait(50);
    const std::size_t paints = log.paints.size();
    const double tow = m_dlg->m_pDecoder->m_dGpsSeconds;
    ASSERT_TRUE(WaitUntil([&] { return m_dlg->m_pDecoder->m_dGpsSeconds >= tow + 10; }, 20000));
    EXPECT_EQ(log.paints.size(), paints);
    sky->removeEventFilter(&log);
}

TEST_F(SatSimTest, ListIsRefreshedInPlaceOnlyWhileItsTabShows)
{
    auto* page = dynamic_cast<CSatChart*>(m_dlg->Page(stavo::PAGE_SATS));
    ASSERT_NE(page, nullptr);
    CGridListCtrl& list = page->m_listSat;
    const CCSIFormat& d = *m_dlg->m_pDecoder;
    auto decoderRows = [&] {
        QStringList rows;
        for (int i = 0; i < d.m_nSatCount; ++i)
            rows << QStringLiteral("%1|%2|%3|%4")
                        .arg(d.m_sats[i].m_nPrn)
                        .arg(d.m_sats[i].m_nSnr)
                        .arg(d.m_sats[i].m_nCycleSlips)
                        .arg(CSatChart::ElevationAzimuthText(d.m_sats[i].m_nElevation, d.m_sats[i].m_nAzimuth));
        return rows;
    };
    auto listRows = [&] {
        QStringList rows;
        for (int i = 0; i < list.GetItemCount(); ++i)
            rows << QStringLiteral("%1|%2|%3|%4")
                        .arg(list.GetItemText(i, 0), list.GetItemText(i, 1), list.GetItemText(i, 2), list.GetItemText(i, 3));
        return rows;
    };
    EXPECT_EQ(list.GetItemCount(), 0); // nothing shown before the tab was

    showTab(stavo::PAGE_SATS);
    ASSERT_TRUE(WaitUntil([&] { return list.GetItemCount() > 0 && listRows() == decoderRows(); }, 20000));
    // Rows are kept and rewritten in place: over 20 receiver seconds many cells change, while rows
    // come and go only when the receiver's satellite count does (it changes over minutes).
    int moved = 0, written = 0;
    QObject::connect(list.model(), &QAbstractItemModel::rowsInserted,
                     [&](const QModelIndex&, int a, int b) { moved += b - a + 1; });
    QObject::connect(list.model(), &QAbstractItemModel::rowsRemoved,
                     [&](const QModelIndex&, int a, int b) { moved += b - a + 1; });
    QObject::connect(list.model(), &QAbstractItemModel::dataChanged, [&] { ++written; });
    const double tow = d.m_dGpsSeconds;
    ASSERT_TRUE(WaitUntil([&] { return d.m_dGpsSeconds >= tow + 20; }, 20000));
    EXPECT_GE(written, 10);
    EXPECT_LE(moved, 4);

    // Another tab: the decoder moves on, the list keeps what it showed.
    showTab(stavo::PAGE_STATUS);
    QTest::qWait(50);
    const QStringList kept = listRows();
    ASSERT_TRUE(WaitUntil([&] { return decoderRows() != kept; }, 30000));
    QTest::qWait(300);
    EXPECT_EQ(listRows(), kept);

    // Back on its tab it catches up at the next message 99.
    showTab(stavo::PAGE_SATS);
    EXPECT_TRUE(WaitUntil([&] { return listRows() == decoderRows() && listRows() != kept; }, 20000));
}
