// The process list against real child processes: a windowless one that is terminated, a number
// that now belongs to another process, the room the caller gave, and a process with a window on
// a private X display that is asked to close.

#include <tessel/TaskList.h>

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <unistd.h>
#include <vector>

using namespace platform;

namespace {

std::vector<TASK_LIST> Snapshot()
{
    const DWORD n = GetTaskCount();
    std::vector<TASK_LIST> list(n);
    list.resize(GetTaskListCE(list.data()));
    return list;
}

TASK_LIST* FindPid(std::vector<TASK_LIST>& list, qint64 pid)
{
    for (TASK_LIST& t : list)
        if (t.dwProcessId == DWORD(pid))
            return &t;
    return nullptr;
}

QString Text(const char16_t* s) { return QString::fromUtf16(s); }

void StartSleeper(QProcess& p)
{
    p.start(QStringLiteral("sleep"), {QStringLiteral("300")});
    ASSERT_TRUE(p.waitForStarted(30000));
}

// An X server of our own on a display number it picks, set as DISPLAY while the test runs.
class PrivateDisplay {
public:
    bool start()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty())
            return false;
        m_server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                              QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                              QStringLiteral("640x480x24")});
        if (!m_server.waitForStarted(30000))
            return false;
        QByteArray number;
        for (int i = 0; i < 600 && !number.endsWith('\n'); ++i) {
            m_server.waitForReadyRead(100);
            number += m_server.readAllStandardOutput();
        }
        if (!number.endsWith('\n'))
            return false;
        m_display = ':' + number.trimmed();
        m_saved = qgetenv("DISPLAY");
        qputenv("DISPLAY", m_display);
        return true;
    }
    ~PrivateDisplay()
    {
        if (!m_display.isEmpty()) {
            if (m_saved.isNull())
                qunsetenv("DISPLAY");
            else
                qputenv("DISPLAY", m_saved);
        }
        if (m_wm.state() != QProcess::NotRunning) {
            m_wm.terminate();
            m_wm.waitForFinished(10000);
        }
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            m_server.waitForFinished(10000);
        }
    }
    QByteArray display() const { return m_display; }

    // A real window manager on the display (Openbox, as on many desktops), ready when this returns
    // true; false where none is installed.
    bool startWindowManager(const QString& configHome)
    {
        const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
        if (openbox.isEmpty())
            return false;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* var : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
            env.insert(QString::fromLatin1(var), configHome);
        m_wm.setProcessEnvironment(env);
        // Its start-up command runs once it manages the screen.
        m_wm.start(openbox, {QStringLiteral("--sm-disable"), QStringLiteral("--startup"), QStringLiteral("echo ready")});
        if (!m_wm.waitForStarted(30000))
            return false;
        QByteArray out;
        for (int i = 0; i < 600 && !out.contains("ready\n"); ++i) {
            m_wm.waitForReadyRead(100);
            out += m_wm.readAllStandardOutput();
        }
        return out.contains("ready\n");
    }

private:
    QProcess m_server;
    QProcess m_wm;
    QByteArray m_display;
    QByteArray m_saved;
};

} // namespace

TEST(TaskList, AWindowlessChildIsTerminatedButNotUnderAReusedNumber)
{
    QProcess child;
    StartSleeper(child);
    std::vector<TASK_LIST> list = Snapshot();
    TASK_LIST* t = FindPid(list, child.processId());
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(Text(t->ProcessName), QStringLiteral("sleep"));
    EXPECT_EQ(t->dwThreadCount, 1u);
    EXPECT_EQ(t->hwnd, 0u);
    EXPECT_TRUE(Text(t->WindowTitle).isEmpty());
    TASK_LIST_ENUM e{list.data(), DWORD(list.size())};
    GetWindowTitles(&e); // no display under the offscreen tests: nothing changes
    EXPECT_EQ(t->hwnd, 0u);
    EXPECT_FALSE(ActivateProcess(t));

    // The same number with another start time is another process: left alone.
    TASK_LIST impostor = *t;
    impostor.ullStartTime += 1;
    EXPECT_FALSE(KillProcess(&impostor));
    EXPECT_FALSE(child.waitForFinished(300));
    EXPECT_EQ(child.state(), QProcess::Running);

    EXPECT_TRUE(KillProcess(t));
    ASSERT_TRUE(child.waitForFinished(30000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit); // killed, as no exit code can be chosen
    // Ended (and reaped): quietly FALSE.
    EXPECT_FALSE(KillProcess(t));

    TASK_LIST nobody{};
    EXPECT_FALSE(KillProcess(&nobody)); // number 0 would be the whole process group
    EXPECT_FALSE(KillProcess(nullptr));
}

TEST(TaskList, TheListKeepsToTheRoomOfTheLastCount)
{
    const DWORD n = GetTaskCount();
    ASSERT_GT(n, 0u);
    QProcess more[3];
    for (QProcess& p : more)
        StartSleeper(p);
    constexpr DWORD kSentinel = 0xDEADBEEF;
    std::vector<TASK_LIST> list(n + 3);
    for (TASK_LIST& t : list)
        t.dwProcessId = kSentinel;
    const DWORD got = GetTaskListCE(list.data());
    EXPECT_LE(got, n);
    for (DWORD i = n; i < n + 3; ++i)
        EXPECT_EQ(list[i].dwProcessId, kSentinel) << "record " << i << " written beyond the room";

    std::vector<TASK_LIST> now = Snapshot();
    for (QProcess& p : more) {
        EXPECT_NE(FindPid(now, p.processId()), nullptr);
        p.kill();
        p.waitForFinished(30000);
    }
    // Our own entry: the thread count is the kernel's.
    TASK_LIST* self = FindPid(now, ::getpid());
    ASSERT_NE(self, nullptr);
    const int threads = int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
    EXPECT_EQ(int(self->dwThreadCount), threads);
    EXPECT_EQ(Text(self->ProcessName), QStringLiteral("test_tessel"));
}

TEST(TaskList, AProcessWithAWindowIsAskedToClose)
{
    PrivateDisplay display;
    if (!display.start())
        GTEST_SKIP() << "no Xvfb to show a window on";
    QProcess sleeper;
    StartSleeper(sleeper);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display.display()));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    child.setProcessEnvironment(env);
    const QString title = QStringLiteral("测绘任务 — a window title longer than sixty-three characters, to be cut");
    child.start(QStringLiteral(TESSEL_WINDOW_CHILD), {title});
    ASSERT_TRUE(child.waitForStarted(30000));

    std::vector<TASK_LIST> list;
    TASK_LIST* t = nullptr;
    for (int i = 0; i < 300 && !(t && t->hwnd); ++i) { // the window maps in its own time
        if (i)
            QTest::qWait(100);
        list = Snapshot();
        TASK_LIST_ENUM e{list.data(), DWORD(list.size())};
        GetWindowTitles(&e);
        t = FindPid(list, child.processId());
    }
    ASSERT_NE(t, nullptr);
    ASSERT_NE(t->hwnd, 0u) << "the child's window never appeared";
    EXPECT_EQ(Text(t->WindowTitle), title.left(63));
    EXPECT_EQ(Text(t->ProcessName), QStringLiteral("tessel_window_child"));
    TASK_LIST* s = FindPid(list, sleeper.processId());
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->hwnd, 0u);

    EXPECT_TRUE(ActivateProcess(t));
    TASK_LIST gone = *t;
    gone.hwnd = 0x3FFFFFFF; // no such window
    EXPECT_FALSE(ActivateProcess(&gone));

    EXPECT_TRUE(KillProcess(t));
    ASSERT_TRUE(child.waitForFinished(30000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit); // it closed its window and ended itself
    EXPECT_EQ(child.exitCode(), 0);

    EXPECT_TRUE(KillProcess(s));
    ASSERT_TRUE(sleeper.waitForFinished(30000));
    EXPECT_EQ(sleeper.exitStatus(), QProcess::CrashExit);
}

// A minimised window is off the screen, but its process still has it: asked to close, not killed.
TEST(TaskList, AProcessWithAMinimisedWindowIsAskedToClose)
{
    PrivateDisplay display;
    if (!display.start())
        GTEST_SKIP() << "no Xvfb to show a window on";
    QTemporaryDir home;
    if (!display.startWindowManager(home.path()))
        GTEST_SKIP() << "no window manager to minimise a window";
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display.display()));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    child.setProcessEnvironment(env);
    child.start(QStringLiteral(TESSEL_WINDOW_CHILD), {QStringLiteral("最小化"), QStringLiteral("minimized")});
    ASSERT_TRUE(child.waitForStarted(30000));
    QByteArray out;
    for (int i = 0; i < 600 && !out.contains("minimized\n"); ++i) {
        child.waitForReadyRead(100);
        out += child.readAllStandardOutput();
    }
    ASSERT_TRUE(out.contains("minimized\n")) << "the window manager never minimised the window";

    std::vector<TASK_LIST> list = Snapshot();
    TASK_LIST_ENUM e{list.data(), DWORD(list.size())};
    GetWindowTitles(&e);
    TASK_LIST* t = FindPid(list, child.processId());
    ASSERT_NE(t, nullptr);
    EXPECT_NE(t->hwnd, 0u);
    EXPECT_EQ(Text(t->WindowTitle), QStringLiteral("最小化"));
    EXPECT_TRUE(KillProcess(t));
    ASSERT_TRUE(child.waitForFinished(30000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit); // closed its window and ended itself
}
