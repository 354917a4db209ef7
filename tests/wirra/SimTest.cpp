// The port and decoder against the simulated receiver (stavo-sim), when it is built: a real peer
// that reads the line's rate from its side of the pseudo-terminal and answers only at its own rate.

#include "CSIFormat.h"
#include "Decode.h"
#include "TrimblePort.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <cstdlib>

namespace {

class SimTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* sim = std::getenv("STAVO_SIM");
        if (!sim || !*sim)
            GTEST_SKIP() << "stavo-sim not built";
        m_sim.start(QString::fromLocal8Bit(sim), {"--baud", "19200", "--seed", "5", "--log", "/dev/null"});
        ASSERT_TRUE(m_sim.waitForStarted(5000));
        ASSERT_TRUE(m_sim.waitForReadyRead(5000));
        m_slave = QString::fromLocal8Bit(m_sim.readLine()).trimmed();
        ASSERT_FALSE(m_slave.isEmpty());
    }
    void TearDown() override
    {
        m_port.vClosePort();
        if (m_sim.state() != QProcess::NotRunning) {
            m_sim.terminate();
            if (!m_sim.waitForFinished(5000))
                m_sim.kill();
        }
    }
    // Decodes messages for up to ms until one of this type and id has been decoded.
    bool DecodeUntil(int type, unsigned id, int ms)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            m_port.m_out.WaitForMessage(50);
            while (m_port.m_out.Read() == 1) {
                const CNOutUnknown& m = m_port.m_out.Current();
                wirra::DecodeMessage(m_decoder, m.Type(), m.Id(), m_port.pCurrentMessage(), m_port.nCurrentLength());
                if (m.Type() == type && m.Id() == id)
                    return true;
            }
        }
        return false;
    }
    QProcess m_sim;
    QString m_slave;
    CTrimblePort m_port;
    CCSIFormat m_decoder;
};

} // namespace

TEST_F(SimTest, ReportAndBinaryMessagesThenARateChange)
{
    m_port.m_dwOption = 0x00400020;
    ASSERT_TRUE(m_port.bOpenDevice(nullptr, m_slave, 19200));
    m_port.vWriteToPort(L"$JOFF\r\n", 0, 0);
    ASSERT_TRUE(m_port.bWaitWriteBufferEmpty());
    m_port.vWriteToPort(L"$JSHOW\r\n", 0, 0);
    ASSERT_TRUE(m_port.bWaitWriteBufferEmpty());
    ASSERT_TRUE(DecodeUntil(23, 150, 3000));
    EXPECT_EQ(m_decoder.m_nJshowAnswered, 1);
    EXPECT_EQ(m_decoder.m_nBaud, 19200);

    m_port.vWriteToPort(L"$JBIN,96,1\r\n", 0, 0);
    m_port.vWriteToPort(L"$JBIN,99,1\r\n", 0, 0);
    ASSERT_TRUE(m_port.bWaitWriteBufferEmpty());
    ASSERT_TRUE(DecodeUntil(27, 96, 3000));
    ASSERT_TRUE(DecodeUntil(27, 99, 3000));
    EXPECT_GE(m_decoder.m_nSatCount, 4);
    EXPECT_GT(m_decoder.m_nGpsWeek, 2000);
    for (int i = 0; i < m_decoder.m_nSatCount; ++i) {
        EXPECT_GT(m_decoder.m_sats[i].m_nPrn, 0);
        EXPECT_GT(m_decoder.m_sats[i].m_nSnr, 20);
        EXPECT_LE(m_decoder.m_sats[i].m_nElevation, 90);
    }

    // The receiver answers "$JBAUD" at its old rate and switches; the port drains, then follows.
    m_port.vWriteToPort(L"$JOFF\r\n$JBAUD,9600\r\n", 0, 0);
    ASSERT_TRUE(m_port.bWaitWriteBufferEmpty());
    // On a wire the command has reached the receiver once it has left the port; a pseudo-terminal
    // only hands it over when the simulator reads, so give it the time a busy machine may take.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(m_port.bChangeBaudrate(9600));
    // Give the receiver its moment to switch, as the program does (it waits for a timer): a command
    // that reaches a pseudo-terminal together with "$JBAUD" would be read at the old rate.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    m_decoder.m_nJshowAnswered = 0;
    m_port.vWriteToPort(L"$JSHOW\r\n", 0, 0);
    ASSERT_TRUE(m_port.bWaitWriteBufferEmpty());
    ASSERT_TRUE(DecodeUntil(23, 150, 3000));
    EXPECT_EQ(m_decoder.m_nBaud, 9600);
}
