// Window timers and posted messages on the virtual clock.

#include "platform/Clock.h"
#include "platform/Window.h"

#include <QCoreApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

using namespace platform;

namespace {

class RecordingWindow : public QWidget, public Window {
public:
    RecordingWindow() : Window(this) {}
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override
    {
        ++deliveries;
        log.push_back({m, w, Clock::nowMs()});
        if (m == WM_TIMER && oneShot.count(UINT(w)))
            KillTimer(UINT(w));
        (void)l;
        return 0;
    }
    struct Entry {
        UINT message;
        WPARAM wParam;
        qint64 at;
    };
    std::vector<Entry> log;
    std::set<UINT> oneShot;
    static inline int deliveries = 0;
};

class VirtualClock : public ::testing::Test {
protected:
    void SetUp() override { Clock::setVirtual(true); }
    void TearDown() override { Clock::setVirtual(false); }
};

} // namespace

TEST_F(VirtualClock, TimersFireAtTheirPeriodsInTimeOrder)
{
    RecordingWindow w;
    const qint64 t0 = Clock::nowMs();
    w.SetTimer(5, 2000);
    w.SetTimer(7, 1000);
    Clock::advance(4000);
    std::vector<std::pair<WPARAM, qint64>> got;
    for (const auto& e : w.log)
        if (e.message == WM_TIMER)
            got.push_back({e.wParam, e.at - t0});
    const std::vector<std::pair<WPARAM, qint64>> want = {{7, 1000}, {5, 2000}, {7, 2000}, {7, 3000}, {5, 4000}, {7, 4000}};
    EXPECT_EQ(got, want);
}

TEST_F(VirtualClock, KilledAndRestartedTimers)
{
    RecordingWindow w;
    w.oneShot.insert(6);
    w.SetTimer(6, 1000);
    Clock::advance(5000);
    EXPECT_EQ(w.log.size(), 1u);
    EXPECT_FALSE(w.HasTimer(6));
    EXPECT_FALSE(w.KillTimer(6));

    // Restarting an id replaces its period and due time.
    w.log.clear();
    w.SetTimer(5, 2000);
    Clock::advance(1500);
    w.SetTimer(5, 2000);
    Clock::advance(1500);
    EXPECT_TRUE(w.log.empty());
    Clock::advance(500);
    EXPECT_EQ(w.log.size(), 1u);
}

TEST_F(VirtualClock, SleepMovesTimeWithoutFiring)
{
    RecordingWindow w;
    w.SetTimer(1, 100);
    const qint64 t0 = Clock::nowMs();
    Clock::sleep(250);
    EXPECT_EQ(Clock::nowMs() - t0, 250);
    EXPECT_TRUE(w.log.empty());
    Clock::advance(0); // the overdue timer fires once on the next advance
    EXPECT_EQ(w.log.size(), 1u);
}

TEST_F(VirtualClock, DestroyedWindowDropsItsTimersAndMessages)
{
    auto* w = new RecordingWindow;
    w->SetTimer(3, 10);
    w->PostMessage(WM_USER + 1, 1, 2);
    const int before = RecordingWindow::deliveries;
    delete w;
    Clock::advance(100);
    EXPECT_EQ(RecordingWindow::deliveries, before);
}

TEST(PostedMessages, ArriveInOrderThroughTheEventLoop)
{
    RecordingWindow w;
    w.PostMessage(WM_USER + 1, 1, 0);
    w.PostMessage(WM_USER + 2, 2, 0);
    EXPECT_TRUE(w.log.empty()); // posting never calls the procedure directly
    w.SendMessage(WM_USER + 3, 3, 0);
    ASSERT_EQ(w.log.size(), 1u);
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(w.log.size(), 3u);
    EXPECT_EQ(w.log[1].message, WM_USER + 1);
    EXPECT_EQ(w.log[2].message, WM_USER + 2);
}

TEST(PostedMessages, GuardedPostToAGoneWindowIsDropped)
{
    QPointer<QWidget> target;
    {
        RecordingWindow w;
        target = &w;
    }
    PostMessageTo(target, WM_USER, 0, 0);
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(target.isNull());
}
