// The two satellite pages built from their templates and rendered: the sky plot's discs, colours,
// mask circle and north marker and the chart's bars at the pixels they must have; the list's rows
// rewritten in place, its texts and its column widths.

#include "app/StavoDlg.h"
#include "res/resource.h"
#include "satellites/SatChart.h"
#include "satellites/SatMapSNR.h"

#include "platform/Screen.h"
#include "wirra/CSIFormat.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <cmath>
#include <numbers>
#include <optional>

#include <gtest/gtest.h>

using namespace platform;

namespace {

struct Sat {
    int prn, elevation, azimuth, snr, slips = 0;
};

void SetTable(CCSIFormat& d, const std::vector<Sat>& sats)
{
    d.m_nSatCount = int(sats.size());
    for (int i = 0; i < CCSIFormat::kChannels; ++i) {
        CSatRecord r;
        if (i < int(sats.size())) {
            const Sat& s = sats[std::size_t(i)];
            r.m_nPrn = std::int16_t(s.prn);
            r.m_nElevation = std::int16_t(s.elevation);
            r.m_nAzimuth = std::int16_t(s.azimuth);
            r.m_nSnr = std::int16_t(s.snr);
            r.m_nCycleSlips = std::int16_t(s.slips);
        }
        d.m_sats[i] = r;
    }
}

// A private data folder (for the device file) and a main window that only holds the decoder.
class PageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("XDG_CONFIG_HOME", m_home.path().toUtf8());
        m_main.m_pDecoder = new CCSIFormat;
    }
    void TearDown() override
    {
        qunsetenv("XDG_CONFIG_HOME");
        Screen::reset();
    }
    void device(const char* text)
    {
        QDir().mkpath(m_home.path() + QStringLiteral("/stavo"));
        QFile f(m_home.path() + QStringLiteral("/stavo/device"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    CCSIFormat& decoder() { return *m_main.m_pDecoder; }
    QTemporaryDir m_home;
    CStavoDlg m_main;
};

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Rgb& c) { return os << c.r << '/' << c.g << '/' << c.b; }
Rgb At(const QImage& img, int x, int y)
{
    const QRgb p = img.pixel(x, y);
    return {qRed(p), qGreen(p), qBlue(p)};
}

const Rgb kBlue{0, 0, 255}, kGreen{0, 255, 0}, kTeal{96, 156, 156}, kMask{0, 128, 128}, kBar{64, 64, 255}, kBlack{0, 0, 0};

class SkyPageTest : public PageTest {
protected:
    QImage render(int w = 480, int h = 440)
    {
        if (!m_page) {
            m_page = std::make_unique<CSatMapSNR>();
            m_page->Create(IDD_SAT_MAP_SNR, nullptr);
            m_page->m_pMainDlg = &m_main;
        }
        m_page->resize(w, h);
        m_page->OnSatelliteData();
        return m_page->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    // Bounding box of the pixels of one colour near a point.
    static QRect Find(const QImage& img, QPoint near, Rgb colour, int reach = 30)
    {
        QRect box;
        for (int y = near.y() - reach; y <= near.y() + reach; ++y)
            for (int x = near.x() - reach; x <= near.x() + reach; ++x)
                if (img.rect().contains(x, y) && At(img, x, y) == colour)
                    box |= QRect(x, y, 1, 1);
        return box;
    }
    std::unique_ptr<CSatMapSNR> m_page;
};

} // namespace

TEST_F(SkyPageTest, DiscsSitWhereElevationAndAzimuthPutThem)
{
    // A 480 x 440 page: plot origin (-15, 50), centre (155, 220).
    struct Case {
        int elevation, azimuth;
        QPoint centre;
    };
    const Case cases[] = {
        {90, 0, {155, 220}}, {0, 90, {305, 220}}, {0, 180, {155, 370}}, {0, 315, {155 - 106, 220 - 106}},
        {45, 45, {155 + 53, 220 - 53}}, {60, 300, {155 - 43, 220 - 25}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.elevation) + "/" + std::to_string(c.azimuth));
        SetTable(decoder(), {{5, c.elevation, c.azimuth, 10}});
        const QImage img = render();
        const QRect disc = Find(img, c.centre, kGreen);
        ASSERT_FALSE(disc.isEmpty());
        // The fill lies inside the one-pixel outline of the 28-pixel square around the centre; the
        // number covers part of its top.
        EXPECT_EQ(disc.width(), 26);
        EXPECT_EQ((disc.left() + disc.right() + 1) / 2, c.centre.x());
        EXPECT_EQ(disc.bottom(), c.centre.y() + 12);
    }
    EXPECT_EQ(m_page->m_nVisibleSats, 1);
}

TEST_F(SkyPageTest, DiscColourFollowsRatioAndNumber)
{
    struct Case {
        int prn, snr;
        Rgb colour;
    };
    const Case cases[] = {{5, 14, kGreen}, {5, 15, kBlue}, {37, 50, kBlue}, {38, 50, kTeal}, {38, 5, kTeal}, {129, 40, kTeal}};
    const QPoint centre(155 + 53, 220 - 53); // elevation 45, azimuth 45
    for (const Case& c : cases) {
        SetTable(decoder(), {{c.prn, 45, 45, c.snr}});
        const QImage img = render();
        EXPECT_EQ(At(img, centre.x() - 5, centre.y() + 11), c.colour) << c.prn << " " << c.snr;
        EXPECT_EQ(At(img, centre.x() + 5, centre.y() + 11), c.colour) << c.prn << " " << c.snr;
    }
    // Records numbered 0 are not drawn.
    SetTable(decoder(), {{0, 45, 45, 40}, {7, 90, 0, 40}});
    const QImage img = render();
    EXPECT_EQ(At(img, centre.x() - 5, centre.y() + 11), (Rgb{255, 255, 255}));
    EXPECT_EQ(m_page->m_nVisibleSats, 1);
}

TEST_F(SkyPageTest, MaskCircleIsDashedAtItsRadius)
{
    struct Case {
        std::optional<int> mask; // none: no decoder
        int radius;
    };
    const Case cases[] = {{10, 133}, {0, 150}, {45, 75}, {60, 50}, {std::nullopt, 150}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.radius);
        CCSIFormat* saved = m_main.m_pDecoder;
        if (c.mask)
            decoder().m_nElevMask = std::int16_t(*c.mask);
        else
            m_main.m_pDecoder = nullptr;
        SetTable(*saved, {});
        const QImage img = render();
        m_main.m_pDecoder = saved;
        int pixels = 0, outside = 0;
        double farthest = 0;
        std::vector<bool> angles(360);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                if (At(img, x, y) != kMask)
                    continue;
                ++pixels;
                const double dx = x + 0.5 - 155, dy = y + 0.5 - 220; // the outline spans cx-r .. cx+r-1
                const double distance = std::hypot(dx, dy);
                farthest = std::max(farthest, distance);
                // Qt flattens the dashed curve into chords, which stray up to 2 pixels inwards.
                if (distance > c.radius + 0.5 || distance < c.radius - 2.5)
                    ++outside;
                angles[std::size_t(int(std::atan2(dy, dx) * 180 / std::numbers::pi + 360) % 360)] = true;
            }
        const auto covered = std::count(angles.begin(), angles.end(), true);
        EXPECT_EQ(outside, 0);
        EXPECT_GT(pixels, c.radius * 2);
        EXPECT_GE(farthest, c.radius - 0.7); // it reaches its radius: one pixel less stays below r - 1
        EXPECT_GT(covered, 180);
        EXPECT_LT(covered, 330); // dashed: there are gaps
    }
}

TEST_F(SkyPageTest, BarsHaveTheirPitchLengthAndTheTallerThanWideRule)
{
    struct Case {
        int satellites, pageHeight, pitch;
    };
    // The chart starts 5 pixels down, so a 405-pixel page has a 400-pixel chart.
    const Case cases[] = {{6, 405, 35}, {10, 405, 40}, {7, 405, 57}, {11, 440, 39}, {1, 440, 35}};
    const int b = 340, t = 5;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.satellites);
        std::vector<Sat> sats;
        for (int i = 0; i < c.satellites; ++i)
            sats.push_back({i == 1 ? 38 : i + 1, 30, 10 * i, 40});
        sats.insert(sats.begin() + 1, Sat{0, 10, 10, 40}); // an empty record takes no bar
        SetTable(decoder(), sats);
        const QImage img = render(480, c.pageHeight);
        const int length = int(40 * (140 * (1.0 / 55))); // 101
        for (int j = 0; j < c.satellites; ++j) {
            const int y = t + c.pitch * j;
            const Rgb fill = j == 1 ? kTeal : kBar;
            EXPECT_EQ(At(img, b + 10, y), kBlack) << j;
            EXPECT_EQ(At(img, b + 10, y + 1), fill) << j;
            EXPECT_EQ(At(img, b + 10, y + c.pitch - 7), fill) << j;
            EXPECT_EQ(At(img, b + 10, y + c.pitch - 6), kBlack) << j; // the bar is pitch - 5 high
            EXPECT_NE(At(img, b + 10, y + c.pitch - 5), fill) << j;
            // Below the ratio's text, which starts at the bar's end.
            EXPECT_EQ(At(img, b + 5, y + c.pitch - 8), kBlack) << j;
            EXPECT_EQ(At(img, b + length - 2, y + c.pitch - 8), fill) << j;
            EXPECT_EQ(At(img, b + length - 1, y + c.pitch - 8), kBlack) << j;
        }
        EXPECT_EQ(m_page->m_nVisibleSats, c.satellites);
    }
    // A chart area wider than tall shows no bars.
    SetTable(decoder(), {{3, 30, 10, 40}, {4, 30, 10, 40}});
    const QImage wide = render(1000, 300);
    int bars = 0;
    for (int y = 0; y < wide.height(); ++y)
        for (int x = b; x < wide.width(); ++x)
            bars += At(wide, x, y) == kBar ? 1 : 0;
    EXPECT_EQ(bars, 0);
}

TEST_F(SkyPageTest, ChartStaysRightOfThePlotOnAWidePage)
{
    // Up to 510 pixels the chart starts 340 in; on a wider page the centred plot moves right and
    // the chart with it, so no bar covers the plot.
    struct Case {
        int width, chartLeft;
    };
    const Case cases[] = {{480, 340}, {510, 340}, {640, 65 + 340}, {701, 95 + 340}};
    std::vector<Sat> sats;
    for (int i = 0; i < 10; ++i)
        sats.push_back({i + 1, 80, 36 * i, 40});
    SetTable(decoder(), sats);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        const QImage img = render(c.width, 440);
        const int cx = (c.width - 510) / 2 + 170;
        // The east horizon shows beside the bars, just above the "90°" label that covers it lower down.
        EXPECT_EQ(At(img, cx + 149, 210), kBlue);
        // Bar fill (the north marker, above, has the same colour).
        int covering = 0, bars = 0;
        for (int y = 62; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (At(img, x, y) == kBar)
                    ++(x <= c.chartLeft + 5 ? covering : bars);
        EXPECT_EQ(covering, 0);
        EXPECT_GT(bars, 0);
        // The first bar: outline from chartLeft + 5 to its length over the chart's own width.
        const int length = int(40 * ((c.width - c.chartLeft) * (1.0 / 55)));
        EXPECT_EQ(At(img, c.chartLeft + 5, 20), kBlack);
        EXPECT_EQ(At(img, c.chartLeft + 6, 20), kBar);
        EXPECT_EQ(At(img, c.chartLeft + length - 2, 30), kBar);
        EXPECT_EQ(At(img, c.chartLeft + length - 1, 30), kBlack);
    }
}

TEST_F(SkyPageTest, OnAScaledScreenTheImageIsAsFineAsTheScreen)
{
    // The page rendered into a device of 1, 1.5 and 2 pixels per unit, as on a scaled screen, shows
    // what drawing straight onto that device shows: no picture of a smaller image blown up.
    SetTable(decoder(), {{5, 30, 40, 40}, {38, 60, 200, 20}});
    render();
    for (const qreal ratio : {1.0, 1.5, 2.0}) {
        SCOPED_TRACE(ratio);
        const QSize pixels = m_page->size() * ratio;
        QImage viaPage(pixels, QImage::Format_RGB32), straight(pixels, QImage::Format_RGB32);
        viaPage.setDevicePixelRatio(ratio);
        straight.setDevicePixelRatio(ratio);
        m_page->render(&viaPage);
        {
            QPainter p(&straight);
            m_page->Draw(&p, m_page->rect());
        }
        int differ = 0;
        for (int y = 0; y < pixels.height(); ++y)
            for (int x = 0; x < pixels.width(); ++x)
                differ += viaPage.pixel(x, y) != straight.pixel(x, y) ? 1 : 0;
        EXPECT_EQ(differ, 0);
    }
}

TEST_F(SkyPageTest, NorthMarkerLetterFollowsTheLanguage)
{
    // The letter as the page's font draws it at (8, 5) in black on the page background.
    auto reference = [](const QString& letter) {
        QImage img(60, 42, QImage::Format_RGB32);
        img.fill(QColor(160, 200, 220));
        QPainter p(&img);
        p.setFont(Screen::font(26, 300));
        p.setPen(Qt::black);
        p.drawText(QRect(8, 5, 200, 100), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, letter);
        return img;
    };
    auto sameLetter = [](const QImage& page, const QImage& ref) {
        for (int y = 0; y < 41; ++y)
            for (int x = 0; x < 28; ++x)
                if (page.pixel(x, y) != ref.pixel(x, y))
                    return false;
        return true;
    };
    struct Case {
        const char* device;
        const char* letter;
        const char* other;
    };
    const Case cases[] = {{"lang=1\n", "N", "北"}, {"lang=0\n", "北", "N"}, {"lang=2\n", "北", "N"}};
    for (const Case& c : cases) {
        device(c.device);
        const QImage img = render();
        EXPECT_TRUE(sameLetter(img, reference(QString::fromUtf8(c.letter)))) << c.device;
        EXPECT_FALSE(sameLetter(img, reference(QString::fromUtf8(c.other)))) << c.device;
        EXPECT_EQ(At(img, 40, 35), kBar);              // blue half of the marker
        EXPECT_EQ(At(img, 48, 35), (Rgb{255, 255, 255})); // white half
    }
}

TEST_F(SkyPageTest, AnyDecoderStateDrawsWithoutHarm)
{
    // Values no receiver sends, and a count beyond the table: the page draws what it can (a mask
    // below the horizon is a circle outside it, filled white over the plot as any mask circle is).
    struct Case {
        int count, mask;
        Sat sat;
    };
    const Case cases[] = {{1, 32767, {255, -128, 32767, -32768}}, {1000, -32768, {1, 127, -32768, 32767}},
                          {-5, 90, {38, 90, 0, 55}}, {3, 91, {2, 200, 359, 0}}};
    for (const Case& c : cases) {
        SetTable(decoder(), {c.sat, c.sat, c.sat});
        decoder().m_nSatCount = c.count;
        decoder().m_nElevMask = std::int16_t(c.mask);
        const QImage img = render();
        EXPECT_EQ(m_page->m_nVisibleSats, std::clamp(c.count, 0, 3)) << c.count;
        EXPECT_EQ(img.size(), QSize(480, 440));
    }
}

namespace {

class ListPageTest : public PageTest {
protected:
    CSatChart& page()
    {
        if (!m_page) {
            m_page = std::make_unique<CSatChart>();
            m_page->Create(IDD_SAT_CHART, nullptr);
            m_page->m_pMainDlg = &m_main;
        }
        return *m_page;
    }
    QStringList row(int r)
    {
        QStringList cells;
        for (int c = 0; c < 4; ++c)
            cells << page().m_listSat.GetItemText(r, c);
        return cells;
    }
    std::unique_ptr<CSatChart> m_page;
};

} // namespace

TEST_F(ListPageTest, RowsAreRewrittenInPlaceAndOnlyChangedCellsWritten)
{
    CGridListCtrl& list = page().m_listSat;
    std::vector<Sat> eight;
    for (int i = 0; i < 8; ++i)
        eight.push_back({i + 2, 10 + 5 * i, 20 * i, 35 + i, i % 3});
    SetTable(decoder(), eight);
    page().OnSatelliteData();
    ASSERT_EQ(list.GetItemCount(), 8);
    EXPECT_EQ(row(3), (QStringList{"5", "38", "0", " 25° /  60°"}));

    int written = 0, inserted = 0, removed = 0;
    QObject::connect(list.model(), &QAbstractItemModel::dataChanged, [&](const QModelIndex& a, const QModelIndex& b) {
        written += (b.row() - a.row() + 1) * (b.column() - a.column() + 1);
    });
    QObject::connect(list.model(), &QAbstractItemModel::rowsInserted,
                     [&](const QModelIndex&, int first, int last) { inserted += last - first + 1; });
    QObject::connect(list.model(), &QAbstractItemModel::rowsRemoved,
                     [&](const QModelIndex&, int first, int last) { removed += last - first + 1; });

    // Five of the eight again, three values in two cells changed: two cells written, three rows gone.
    std::vector<Sat> five(eight.begin(), eight.begin() + 5);
    five[1].snr = 50;
    five[4].elevation = 5;
    five[4].azimuth = 270;
    SetTable(decoder(), five);
    page().OnSatelliteData();
    EXPECT_EQ(list.GetItemCount(), 5);
    EXPECT_EQ(written, 2);
    EXPECT_EQ(inserted, 0);
    EXPECT_EQ(removed, 3);
    EXPECT_EQ(row(1), (QStringList{"3", "50", "1", " 15° /  20°"}));
    EXPECT_EQ(row(4), (QStringList{"6", "39", "1", "  5° / 270°"})); // fields of three

    // The same table again writes nothing.
    page().OnSatelliteData();
    EXPECT_EQ(written, 2);

    // Growing inserts rows; an empty table empties the list; a record numbered 0 is listed.
    SetTable(decoder(), {{0, 1, 2, 3}, {7, 8, 9, 10}, {11, 12, 13, 14}, {15, 16, 17, 18}, {19, 20, 21, 22},
                         {23, 24, 25, 26}, {27, 28, 29, 30}});
    page().OnSatelliteData();
    EXPECT_EQ(list.GetItemCount(), 7);
    EXPECT_EQ(inserted, 2);
    EXPECT_EQ(row(0), (QStringList{"0", "3", "0", "  1° /   2°"}));
    SetTable(decoder(), {});
    page().OnSatelliteData();
    EXPECT_EQ(list.GetItemCount(), 0);

    // Without a decoder nothing happens.
    SetTable(decoder(), eight);
    CCSIFormat* saved = m_main.m_pDecoder;
    m_main.m_pDecoder = nullptr;
    page().OnSatelliteData();
    m_main.m_pDecoder = saved;
    EXPECT_EQ(list.GetItemCount(), 0);
}

TEST_F(ListPageTest, ColumnsFollowTheScreenWidthAndTheHandheldModel)
{
    struct Case {
        int screenWidth;
        const char* device;
        std::array<int, 4> widths;
    };
    const Case cases[] = {{480, "pda=2\n", {72, 72, 72, 144}},
                          {480, "pda=0\n", {96, 96, 96, 192}},
                          {640, "pda=2\n", {104, 104, 104, 208}},
                          {243, "pda=1\n", {48, 48, 48, 97}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        Screen::setSize(c.screenWidth, 640);
        device(c.device);
        m_page.reset();
        CGridListCtrl& list = page().m_listSat;
        ASSERT_EQ(list.GetColumnCount(), 4);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(list.GetColumnWidth(i), c.widths[std::size_t(i)]) << i;
    }
    CGridListCtrl& list = page().m_listSat;
    const char* headings[] = {"卫星号", "信噪比", "周跳数", "高度角(度)/方位角(度)"};
    for (int i = 0; i < 4; ++i) {
        tessel::LVCOLUMN col;
        col.mask = tessel::LVCF_TEXT | tessel::LVCF_FMT | tessel::LVCF_SUBITEM;
        ASSERT_TRUE(list.GetColumn(i, &col));
        EXPECT_EQ(col.pszText, QString::fromUtf8(headings[i]));
        EXPECT_EQ(col.fmt, tessel::LVCFMT_LEFT);
        EXPECT_EQ(col.iSubItem, i);
    }
    // Set-up: report view with grid lines, full-row select and heading drag, one row selectable,
    // left aligned with a border, placed 1 pixel in and 10 narrower than the page.
    const DWORD styles = tessel::LVS_TYPEMASK | tessel::LVS_SINGLESEL | tessel::LVS_ALIGNLEFT | tessel::WS_BORDER | WS_TABSTOP;
    EXPECT_EQ(list.GetStyle() & styles,
              tessel::LVS_REPORT | tessel::LVS_SINGLESEL | tessel::LVS_ALIGNLEFT | tessel::WS_BORDER | WS_TABSTOP);
    EXPECT_EQ(list.GetExtendedStyle(), tessel::LVS_EX_GRIDLINES | tessel::LVS_EX_FULLROWSELECT | tessel::LVS_EX_HEADERDRAGDROP);
    EXPECT_EQ(list.geometry(), QRect(1, 0, page().width() - 10, page().height()));
    // and keeps that place when the tab control gives the page its size.
    page().resize(478, 400);
    page().show();
    EXPECT_EQ(list.geometry(), QRect(1, 0, 468, 400));
}
