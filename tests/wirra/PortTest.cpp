// The port against a real pseudo-terminal: the test holds the master side, the port opens the slave.

#include "MessageKinds.h"
#include "PortMap.h"
#include "TestSupport.h"
#include "TrimblePort.h"
#include "platform/Window.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <asm/termbits.h> // termios2; <termios.h> must not be included with it
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

extern "C" int posix_openpt(int);
extern "C" int grantpt(int);
extern "C" int unlockpt(int);
extern "C" char* ptsname(int);

namespace {

class TestWindow : public QWidget, public platform::Window {
public:
    TestWindow() : platform::Window(this) {}
    platform::LRESULT WindowProc(platform::UINT message, platform::WPARAM w, platform::LPARAM l) override
    {
        if (message == WM_RECEIVER_DATA)
            ++notices;
        return platform::Window::WindowProc(message, w, l);
    }
    int notices = 0;
};

class Pty {
public:
    Pty()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0)
            slave = ptsname(master);
    }
    ~Pty()
    {
        if (master >= 0)
            ::close(master);
    }
    void Write(const std::string& s) const { ASSERT_EQ(::write(master, s.data(), s.size()), ssize_t(s.size())); }
    // Everything readable now and within the next ms.
    std::string ReadFor(int ms) const
    {
        std::string out;
        const int flags = fcntl(master, F_GETFL);
        fcntl(master, F_SETFL, flags | O_NONBLOCK);
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        char buf[4096];
        for (;;) {
            const ssize_t r = ::read(master, buf, sizeof buf);
            if (r > 0) {
                out.append(buf, std::size_t(r));
                continue; // take all that is there before looking at the clock
            }
            if (std::chrono::steady_clock::now() >= end)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        fcntl(master, F_SETFL, flags);
        return out;
    }
    unsigned Speed() const
    {
        struct termios2 t {};
        if (::ioctl(master, TCGETS2, &t) != 0)
            return 0;
        return t.c_ospeed;
    }
    int master = -1;
    std::string slave;
};

// Runs the event loop until the condition holds or 3 s pass.
template <class F>
bool SpinUntil(F cond)
{
    QElapsedTimer t;
    t.start();
    while (!cond() && t.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return cond();
}

class PortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(pty.slave.empty());
        ASSERT_TRUE(port.bOpenDevice(&window, QString::fromStdString(pty.slave), 9600));
    }
    Pty pty;
    TestWindow window;
    CTrimblePort port;
};

} // namespace

TEST(PortMap, EntriesAndDefault)
{
    struct Case {
        const char* text;
        unsigned port;
        const char* device;
    } cases[] = {
        {"", 4, "/dev/ttyUSB0"},
        {"", 3, ""},
        {"4=/dev/ttyS1\n", 4, "/dev/ttyS1"},
        {"# receiver\n 4 = /dev/ttyACM0 # USB\n5=/dev/ttyS0", 4, "/dev/ttyACM0"},
        {"5=/dev/ttyS0\n", 5, "/dev/ttyS0"},
        {"x=/dev/ttyS0\n=/dev/ttyS1\n4=\n", 4, "/dev/ttyUSB0"},
        {"14=/dev/ttyS3\n", 4, "/dev/ttyUSB0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(wirra::PortDeviceFromMap(QString::fromUtf8(c.text), c.port).toStdString(), c.device) << c.text;
}

TEST(Port, OpensPortNumberThroughThePortMap)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray old = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    Pty pty;
    {
        QFile f(dir.path() + "/stavo/ports.conf");
        QDir().mkpath(dir.path() + "/stavo");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(("4=" + pty.slave + "\n").c_str());
    }
    TestWindow w;
    CTrimblePort port;
    port.m_dwOption = 0x00400020;
    EXPECT_EQ(port.handle(), -1);
    ASSERT_TRUE(port.bOpenPort(&w, 4, 9600));
    EXPECT_GE(port.handle(), 0);
    EXPECT_EQ(pty.Speed(), 9600u);
    EXPECT_FALSE(port.bOpenPort(&w, 7, 9600)); // no entry and no default
    EXPECT_EQ(port.handle(), -1);
    qputenv("XDG_CONFIG_HOME", old);
}

TEST(Port, MissingDeviceFailsAndClosedPortRefusesToWait)
{
    CTrimblePort port;
    EXPECT_FALSE(port.bOpenDevice(nullptr, "/dev/stavo-no-such-device", 9600));
    EXPECT_EQ(port.handle(), -1);
    EXPECT_FALSE(port.bWaitWriteBufferEmpty());
    port.vWriteToPort("$JOFF\r\n", 0, 0); // dropped, no crash
    EXPECT_FALSE(port.bChangeBaudrate(9600));
}

TEST_F(PortTest, APortInUseCannotBeOpenedTwice)
{
    CTrimblePort second;
    EXPECT_FALSE(second.bOpenDevice(nullptr, QString::fromStdString(pty.slave), 9600));
    EXPECT_EQ(second.handle(), -1);
    port.vClosePort();
    EXPECT_TRUE(second.bOpenDevice(nullptr, QString::fromStdString(pty.slave), 9600));
}

TEST_F(PortTest, WritesReachTheLineAndWaitReturnsWhenSent)
{
    port.vWriteToPort(QStringLiteral("$JOFF\r\n"), 0, 0);
    port.vWriteToPort(L"$JSHOW\r\n", 0, 0);
    EXPECT_TRUE(port.bWaitWriteBufferEmpty());
    EXPECT_EQ(pty.ReadFor(50), "$JOFF\r\n$JSHOW\r\n");
    const std::string rtcm("\xd3\x00\x13\x3e\xd0\x00\x03\x8a\x0d\x0a\x00\xff", 12);
    port.vSendCorsData(rtcm.data(), int(rtcm.size()), 13);
    EXPECT_TRUE(port.bWaitWriteBufferEmpty());
    EXPECT_EQ(pty.ReadFor(50), rtcm);
    port.vClosePort();
    EXPECT_EQ(port.handle(), -1);
    EXPECT_FALSE(port.bWaitWriteBufferEmpty());
}

TEST_F(PortTest, WriteWithATimeWaitsForTheBytesToLeave)
{
    // As at exit: "$JSAVE" must be on the line before the port is closed.
    port.vWriteToPort(L"$JSAVE\r\n", 3000, 0);
    EXPECT_EQ(pty.ReadFor(0), "$JSAVE\r\n"); // read at once: no waiting on the test's side
}

TEST_F(PortTest, EveryProbeRateIsSetOnTheLine)
{
    const unsigned rates[] = {9600, 19200, 38400, 115200, 57600, 14400, 56000, 128000, 256000, 512000, 2400, 4800};
    for (unsigned r : rates) {
        EXPECT_TRUE(port.bChangeBaudrate(r)) << r;
        EXPECT_EQ(pty.Speed(), r);
        EXPECT_EQ(port.baud(), r);
    }
}

TEST_F(PortTest, ChangingTheRateDrainsFirst)
{
    // A long command queued just before the change must have left the line entirely when the
    // rate changes, not be cut between two rates.
    std::string cmd = "$JASC,GPGGA,1,OTHER\r\n";
    std::string many;
    for (int i = 0; i < 100; ++i)
        many += cmd;
    port.vWriteToPort(QString::fromStdString(many), 0, 0);
    ASSERT_TRUE(port.bChangeBaudrate(115200));
    EXPECT_EQ(pty.Speed(), 115200u);
    // Read without waiting: every byte must already be on the master side.
    EXPECT_EQ(pty.ReadFor(0).size(), many.size());
}

TEST_F(PortTest, MessagesAreQueuedWithOneNoticePerBatch)
{
    const std::string batch = "$GPGGA,,,,,,0,,,,M,,M,,*66\r\n"
                              "$GPZDA,193913.00,07,09,2018,00,00*63\r\n"
                              "garbage\x01\x02\r\n"
                              "$>\r\n";
    pty.Write(batch);
    ASSERT_TRUE(SpinUntil([&] { return window.notices >= 1 && port.m_out.Waiting() >= 3; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(window.notices, 1);
    ASSERT_EQ(port.m_out.Read(), 1);
    EXPECT_EQ(port.m_out.Current().Type(), 6);
    EXPECT_EQ(port.m_out.Current().Id(), 25u);
    EXPECT_STREQ(port.pCurrentMessage(), "$GPGGA,,,,,,0,,,,M,,M,,*66");
    EXPECT_EQ(port.nCurrentLength(), 26);
    ASSERT_EQ(port.m_out.Read(), 1);
    EXPECT_EQ(port.m_out.Current().Id(), 35u);
    ASSERT_EQ(port.m_out.Read(), 1);
    EXPECT_EQ(port.m_out.Current().Type(), 23);
    EXPECT_EQ(port.m_out.Current().Id(), 31u);
    EXPECT_EQ(port.m_out.Read(), 0);
    EXPECT_GT(port.Stats().droppedBytes, 0u);

    // Drained: the next batch brings exactly one more notice.
    pty.Write("$GPGGA,,,,,,0,,,,M,,M,,*66\r\n$GPGGA,,,,,,0,,,,M,,M,,*66\r\n");
    ASSERT_TRUE(SpinUntil([&] { return window.notices >= 2 && port.m_out.Waiting() >= 2; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(window.notices, 2);
}

TEST_F(PortTest, ShowReportEndsAfterSilence)
{
    pty.Write("$>JSHOW,BAUD,9600\r\n$>JSHOW,MASK,5\r\n");
    ASSERT_TRUE(port.m_out.WaitForMessage(2000));
    ASSERT_EQ(port.m_out.Read(), 1);
    EXPECT_EQ(port.m_out.Current().Id(), 150u);
    EXPECT_STREQ(port.pCurrentMessage(), "$>JSHOW,BAUD,9600\r\n$>JSHOW,MASK,5\r\n");
}

TEST_F(PortTest, OptionWordSelectsMessageKinds)
{
    port.m_dwOption = CTrimblePort::kOptionBinary; // binary only; taken when the port opens
    ASSERT_TRUE(port.bOpenDevice(&window, QString::fromStdString(pty.slave), 9600));
    std::string frame = "$BIN";
    frame += std::string("\x02\x00\x10\x00", 4) + std::string(16, '\0') + std::string("\x00\x00\r\n", 4);
    pty.Write("$GPGGA,,,,,,0,,,,M,,M,,*66\r\n" + frame);
    ASSERT_TRUE(port.m_out.WaitForMessage(2000));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(port.m_out.Waiting(), 1u);
    ASSERT_EQ(port.m_out.Read(), 1);
    EXPECT_EQ(port.m_out.Current().Type(), 27);
    EXPECT_EQ(port.nCurrentLength(), 28);
}

TEST_F(PortTest, WaitIsBoundedWhenNobodyReadsTheLine)
{
    // Far more than the pseudo-terminal buffers: the line stalls once they are full.
    const QString lots(400000, QLatin1Char('A'));
    port.vWriteToPort(lots, 0, 0);
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(port.bWaitWriteBufferEmpty());
    EXPECT_LT(t.elapsed(), 10000); // it returns at all: a stalled line must not freeze the program
    // Once the other side reads, everything arrives and waiting succeeds.
    std::size_t got = 0;
    std::thread reader([&] { got = pty.ReadFor(1500).size(); });
    EXPECT_TRUE(port.bWaitWriteBufferEmpty());
    reader.join();
    EXPECT_EQ(got, std::size_t(lots.size()));
}

TEST_F(PortTest, AHungUpLineIsClosedAndCostsNothing)
{
    // The other end goes away (the receiver's cable pulled, a simulator killed): the reader must
    // stop watching a line that reads as ready for ever with nothing in it.
    ASSERT_FALSE(port.IsHungUp());
    const QString device = port.Device();
    EXPECT_EQ(device, QString::fromStdString(pty.slave));
    ::close(pty.master);
    pty.master = -1;
    ASSERT_TRUE(SpinUntil([&] { return port.IsHungUp(); }));
    EXPECT_EQ(port.handle(), -1);
    EXPECT_EQ(port.Device(), device); // kept, so that the program can reopen the same device
    const long before = wirra_test::ReaderTicks();
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    // A spinning reader would take most of that second; a closed line takes nothing.
    EXPECT_LT(wirra_test::ReaderTicks() - before, 20);
    // Writes and waits on the closed line return at once.
    port.vWriteToPort(QStringLiteral("$JOFF\r\n"), 0, 0);
    EXPECT_FALSE(port.bWaitWriteBufferEmpty());
}

TEST_F(PortTest, ALineHungUpByTheSystemIsClosed)
{
    // What the system does when a USB adapter is pulled: every open file of the line is hung up
    // and reads end at once with nothing.
    const int fd = ::open(pty.slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    if (::ioctl(fd, TIOCVHANGUP) != 0) {
        ::close(fd);
        GTEST_SKIP() << "hanging up a line needs privilege here";
    }
    ::close(fd);
    ASSERT_TRUE(SpinUntil([&] { return port.IsHungUp(); }));
    EXPECT_EQ(port.handle(), -1);
}

TEST(Port, AFailedOpenSaysWhy)
{
    QTemporaryDir dir;
    struct Case {
        const char* what;
        QString device;
        int err;
        bool hint;
    };
    const QString locked = dir.filePath(QStringLiteral("locked"));
    {
        QFile f(locked);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::Permissions()));
    std::vector<Case> cases = {
        {"missing device", dir.filePath(QStringLiteral("ttyGONE")), ENOENT, false},
    };
    if (::geteuid() != 0) // permissions do not hold for root
        cases.push_back({"no permission", locked, EACCES, true});
    for (const Case& c : cases) {
        CTrimblePort port;
        EXPECT_FALSE(port.bOpenDevice(nullptr, c.device, 9600)) << c.what;
        EXPECT_EQ(port.OpenErrno(), c.err) << c.what;
        const QString why = port.OpenFailure();
        EXPECT_TRUE(why.startsWith(c.device + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(c.err))))
            << c.what << ": " << qPrintable(why);
        EXPECT_EQ(why.contains(QStringLiteral("dialout")), c.hint) << c.what << ": " << qPrintable(why);
    }

    // A port in use: the serial library's reason, with the device.
    Pty pty;
    CTrimblePort first, second;
    ASSERT_TRUE(first.bOpenDevice(nullptr, QString::fromStdString(pty.slave), 9600));
    EXPECT_FALSE(second.bOpenDevice(nullptr, QString::fromStdString(pty.slave), 9600));
    EXPECT_TRUE(second.OpenFailure().startsWith(QString::fromStdString(pty.slave) + QStringLiteral(": ")))
        << qPrintable(second.OpenFailure());
    EXPECT_GT(second.OpenFailure().size(), int(pty.slave.size()) + 2);
}
