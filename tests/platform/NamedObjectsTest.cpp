// The handheld's named system objects between threads and processes: devices provided by a driver in
// this process or published by another (here: another thread, through the same local socket), named
// events, and the system clock's hook. Registered messages posted to another program's window are
// exercised end to end by the start-up power tests (tests/options).

#include "platform/Handle.h"
#include "platform/NamedDevice.h"
#include "platform/NamedEvent.h"
#include "platform/SystemTime.h"

#include <QElapsedTimer>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

using namespace platform;

namespace {

// Answers code 1 by echoing its input reversed, refuses the rest with error 31; counts opens and closes.
class RecordingDriver : public DeviceDriver {
public:
    DWORD IoControl(DWORD code, const QByteArray& in, QByteArray* out) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        codes.push_back(code);
        if (code != 1)
            return ERROR_GEN_FAILURE;
        *out = QByteArray(in.size(), '\0');
        std::reverse_copy(in.begin(), in.end(), out->begin());
        return ERROR_SUCCESS;
    }
    DWORD Open(DWORD, DWORD) override { return ++opens, ERROR_SUCCESS; }
    void Close() override { ++closes; }
    std::mutex mutex;
    std::vector<DWORD> codes;
    std::atomic<int> opens{0}, closes{0};
};

// Runs a QObject-based server on a thread of its own, as another process would.
template <class Make> class ServerThread : public QThread {
public:
    explicit ServerThread(Make make) : m_make(std::move(make)) {}
    ~ServerThread() override
    {
        quit();
        wait();
    }
    QSemaphore ready;

protected:
    void run() override
    {
        auto server = m_make();
        ready.release();
        exec();
    }

private:
    Make m_make;
};

template <class Make> std::unique_ptr<ServerThread<Make>> serve(Make make)
{
    auto t = std::make_unique<ServerThread<Make>>(std::move(make));
    t->start();
    t->ready.acquire();
    return t;
}

bool eventually(const std::function<bool()>& pred, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!pred() && t.elapsed() < ms)
        QThread::msleep(5);
    return pred();
}

class NamedObjects : public ::testing::Test {
protected:
    void SetUp() override { qputenv("XDG_CONFIG_HOME", m_home.path().toUtf8()); }
    void TearDown() override { qunsetenv("XDG_CONFIG_HOME"); }
    QTemporaryDir m_home;
};

HANDLE openDevice(DWORD share = 0)
{
    return CreateFile(QStringLiteral("TST1:"), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_EXISTING, 0, nullptr);
}

} // namespace

TEST_F(NamedObjects, DevicesOpenOnlyWhereADriverProvidesThemInThisProcessOrAnother)
{
    SetLastError(0);
    EXPECT_EQ(openDevice(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    for (bool remote : {false, true}) {
        SCOPED_TRACE(remote ? "published by another thread" : "registered in this process");
        RecordingDriver driver;
        std::unique_ptr<QThread> host;
        if (remote)
            host = serve([&driver] {
                auto h = std::make_unique<DeviceHost>(QStringLiteral("tst1:"), &driver);
                h->listen();
                return h;
            });
        else
            RegisterDeviceDriver(QStringLiteral("TST1:"), &driver);

        HANDLE h = openDevice();
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        SetLastError(0);
        EXPECT_EQ(openDevice(FILE_SHARE_READ), INVALID_HANDLE_VALUE); // the first open shares nothing
        EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);

        char out[8] = {};
        DWORD got = 0;
        EXPECT_TRUE(DeviceIoControl(h, 1, "abc", 3, out, sizeof out, &got, nullptr));
        EXPECT_EQ(got, 3u);
        EXPECT_STREQ(out, "cba");
        EXPECT_FALSE(DeviceIoControl(h, 1, "abc", 3, out, 2, &got, nullptr)); // no room for the answer
        EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
        EXPECT_FALSE(DeviceIoControl(h, 0x00320804, nullptr, 0, nullptr, 0, nullptr, nullptr));
        EXPECT_EQ(GetLastError(), ERROR_GEN_FAILURE); // the driver's own error
        {
            std::lock_guard<std::mutex> lock(driver.mutex);
            EXPECT_EQ(driver.codes, (std::vector<DWORD>{1, 1, 0x00320804}));
        }
        EXPECT_TRUE(CloseHandle(h));
        EXPECT_FALSE(CloseHandle(h));
        EXPECT_FALSE(DeviceIoControl(h, 1, nullptr, 0, nullptr, 0, nullptr, nullptr));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        EXPECT_TRUE(eventually([&] { return driver.closes == 1; }));
        EXPECT_EQ(driver.opens, 1);

        HANDLE again = openDevice(); // closed: free to open again
        EXPECT_NE(again, INVALID_HANDLE_VALUE);
        CloseHandle(again);
        EXPECT_TRUE(eventually([&] { return driver.closes == 2; }));
        if (!remote)
            UnregisterDeviceDriver(QStringLiteral("TST1:"));
    }
    EXPECT_EQ(openDevice(), INVALID_HANDLE_VALUE); // both drivers gone
}

TEST_F(NamedObjects, EventsAreSignalledOnceAcrossThreadsAndGoWithTheirCreator)
{
    HANDLE e = CreateEvent(nullptr, FALSE, FALSE, QStringLiteral("TESTEVENT"));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    HANDLE same = CreateEvent(nullptr, FALSE, FALSE, QStringLiteral("testevent"));
    ASSERT_NE(same, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(OpenEvent(EVENT_ALL_ACCESS, FALSE, QStringLiteral("NOSUCHEVENT")), nullptr);

    EXPECT_EQ(WaitForSingleObject(e, 50), WAIT_TIMEOUT); // created non-signalled
    EXPECT_TRUE(SetEvent(same));
    EXPECT_TRUE(SetEvent(same)); // a state, not a count
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(e, 50), WAIT_TIMEOUT); // the wait took it (automatic reset)

    std::thread setter([] {
        QThread::msleep(200);
        HANDLE o = OpenEvent(EVENT_ALL_ACCESS, FALSE, QStringLiteral("TESTEVENT"));
        SetEvent(o);
        CloseHandle(o);
    });
    EXPECT_EQ(WaitForSingleObject(e, 10000), WAIT_OBJECT_0);
    setter.join();

    CloseHandle(same);
    CloseHandle(e); // the creator's close removes the name: a late signal has nowhere to go
    EXPECT_EQ(OpenEvent(EVENT_ALL_ACCESS, FALSE, QStringLiteral("TESTEVENT")), nullptr);
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_FAILED);
}

TEST(SystemTime, TheHookReceivesValidRecordsOnly)
{
    std::vector<SYSTEMTIME> seen;
    SetSystemTimeHook([&seen](const SYSTEMTIME& t) {
        seen.push_back(t);
        return TRUE;
    });
    SYSTEMTIME ok;
    ok.wYear = 2024, ok.wMonth = 2, ok.wDay = 29, ok.wHour = 23, ok.wMinute = 59, ok.wSecond = 59, ok.wMilliseconds = 999;
    EXPECT_TRUE(SetSystemTime(&ok));
    SYSTEMTIME bad[4] = {ok, ok, ok, ok};
    bad[0].wYear = 2023;  // no 29 February
    bad[1].wHour = 24;
    bad[2].wSecond = 60;
    bad[3].wMonth = 0;
    for (const SYSTEMTIME& b : bad) {
        EXPECT_FALSE(SetSystemTime(&b));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    EXPECT_FALSE(SetSystemTime(nullptr));
    SetSystemTimeHook(nullptr);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].wDay, 29);
    EXPECT_EQ(seen[0].wMilliseconds, 999);
}
