// Time from a message 99 arriving at the window (taken from the port's queue, decoded, the page
// told) to the sky page's image being complete on the window, with two peers drawn the same way in
// the same run: the same picture painted straight onto the window without the off-screen image, and
// a blank page of the same size (the cost of Qt's repaint path alone).
//
//   bench_satellites [--rounds N]

#include "app/StavoApp.h"
#include "app/StavoDlg.h"
#include "res/Resources.h"
#include "res/resource.h"
#include "satellites/SatMapSNR.h"

#include "wirra/CSIFormat.h"
#include "wirra/NOut.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

void Put16(std::string& s, std::size_t at, unsigned v)
{
    s[at] = char(v & 0xFF);
    s[at + 1] = char((v >> 8) & 0xFF);
}

// A message 99 frame with ten tracked channels, their places turned a little with each round.
std::string Message99(int round)
{
    std::string data(304, '\0');
    data[0] = 3;
    data[1] = 18;
    Put16(data, 2, 2300);
    const double tow = 100000.0 + round;
    std::memcpy(&data[4], &tow, 8);
    for (int c = 0; c < 10; ++c) {
        const std::size_t r = 12 + 24 * std::size_t(c);
        data[r] = char(c);
        data[r + 1] = char(c < 9 ? 3 * c + 2 : 133); // one SBAS satellite
        data[r + 8] = char(10 + (7 * c + round / 10) % 80);
        data[r + 9] = char((17 * c + round) % 180);
        Put16(data, r + 12, 300 + 60 * unsigned(c));
    }
    unsigned sum = 0;
    for (unsigned char b : data)
        sum += b;
    std::string frame = "$BIN";
    frame += std::string(4, '\0');
    Put16(frame, 4, 99);
    Put16(frame, 6, 304);
    frame += data;
    frame += std::string(2, '\0');
    Put16(frame, frame.size() - 2, sum & 0xFFFF);
    frame += "\r\n";
    return frame;
}

class PaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
    int paints = 0;
};

// The same picture painted straight onto the window.
class DirectSky : public QWidget {
public:
    DirectSky(CSatMapSNR* page, QWidget* parent) : QWidget(parent), m_page(page) { setAttribute(Qt::WA_OpaquePaintEvent); }
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        m_page->Draw(&p, rect());
    }

private:
    CSatMapSNR* m_page;
};

class BlankPage : public QWidget {
public:
    using QWidget::QWidget;
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(160, 200, 220)); }
};

struct Stats {
    double median, p95, max;
};

// Each round: a frame into the queue, read, decoded, the widget refreshed, events run until its
// paint has been done.
Stats Measure(QWidget* target, const std::function<void()>& refresh, CCSIFormat& decoder, int rounds)
{
    PaintCounter counter;
    target->installEventFilter(&counter);
    CNOut queue;
    std::vector<double> ms;
    std::vector<std::string> frames;
    for (int i = 0; i < rounds; ++i)
        frames.push_back(Message99(i));
    for (int i = 0; i < rounds + 20; ++i) {
        const std::string& frame = frames[std::size_t(i % rounds)];
        const int before = counter.paints;
        const auto t0 = Clock::now();
        queue.Push(27, 99, frame.data(), frame.size());
        while (queue.Read() == 1)
            decoder.ProcessSBinaryMsg99(queue.Current().Data(), queue.Current().Length());
        refresh();
        while (counter.paints == before)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        const double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
        if (i >= 20) // the first rounds warm caches and the font engine
            ms.push_back(elapsed);
    }
    target->removeEventFilter(&counter);
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[std::size_t(double(ms.size()) * 0.95)], ms.back()};
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int rounds = 500;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--rounds")
            rounds = std::max(10, std::atoi(argv[i + 1]));
    res::RegisterResources();
    stavo::ApplySystemColours();

    CStavoDlg mainDlg; // holds the decoder only
    mainDlg.m_pDecoder = new CCSIFormat;
    mainDlg.m_pDecoder->m_nElevMask = 10;
    CCSIFormat& decoder = *mainDlg.m_pDecoder;

    // The page as the main window shows it: 478 x 400 under the tabs of a 480 x 640 window.
    QWidget window;
    window.resize(480, 640);
    auto* page = new CSatMapSNR;
    page->Create(IDD_SAT_MAP_SNR, &window);
    page->m_pMainDlg = &mainDlg;
    page->setGeometry(1, 38, 478, 400);
    auto* direct = new DirectSky(page, &window);
    direct->setGeometry(page->geometry());
    auto* blank = new BlankPage(&window);
    blank->setGeometry(page->geometry());
    window.show();
    QCoreApplication::processEvents();

    struct Run {
        const char* name;
        QWidget* widget;
        std::function<void()> refresh;
    };
    const Run runs[] = {
        {"sky page (off-screen image, copied in one step)", page, [page] { page->OnSatelliteData(); }},
        {"peer: same picture drawn straight on the window", direct, [direct] { direct->update(); }},
        {"peer: blank page through the same repaint path", blank, [blank] { blank->update(); }},
    };
    std::printf("message 99 arriving -> page image complete, %d rounds, 10 satellites, 478 x 400 page\n", rounds);
    std::printf("%-52s %9s %9s %9s\n", "", "median", "p95", "max");
    double ours = 0, straight = 0, floor = 0;
    for (const Run& r : runs) {
        for (QWidget* w : {static_cast<QWidget*>(page), static_cast<QWidget*>(direct), static_cast<QWidget*>(blank)})
            w->setVisible(w == r.widget);
        QCoreApplication::processEvents();
        const Stats s = Measure(r.widget, r.refresh, decoder, rounds);
        std::printf("%-52s %7.3f ms %6.3f ms %6.3f ms\n", r.name, s.median, s.p95, s.max);
        if (r.widget == page)
            ours = s.median;
        else if (r.widget == direct)
            straight = s.median;
        else
            floor = s.median;
    }
    if (decoder.m_nSatCount != 10 || page->m_nVisibleSats != 10) {
        std::printf("the frames did not reach the page (%d satellites decoded, %d drawn)\n", int(decoder.m_nSatCount),
                    page->m_nVisibleSats);
        return 1;
    }
    std::printf("ratios (median): sky page / straight drawing = %.2f, sky page / blank page = %.2f\n",
                ours / straight, ours / floor);
    std::printf("target: sky page median under 5 ms: %s\n", ours < 5.0 ? "met" : "NOT met");
    return 0;
}
