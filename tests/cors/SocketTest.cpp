// The receiver link library's sockets against a scripted caster on loopback: whole answers collected
// across blocks (the 8 MB cap is tried through the page), blocks delivered with a bounded buffer and
// nothing lost, name lookup, failures, silence, and no message for a socket that is gone.

#include "CasterHarness.h"

#include "platform/Clock.h"
#include "platform/Window.h"
#include "wirra/VRSSocket.h"

#include <QWidget>

#include <gtest/gtest.h>

using namespace corstest;
using namespace platform;

namespace {

// An owner window that records the socket messages and, if asked, takes the bytes announced.
class Owner : public QWidget, public Window {
public:
    Owner() : Window(this) {}
    struct Msg {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != WM_SOCKET_RECEIVE && message != WM_SOCKET_EVENT && message != WM_SOCKET_CLOSED)
            return Window::WindowProc(message, wParam, lParam);
        log.push_back({message, wParam, lParam});
        auto* s = reinterpret_cast<CCESocket*>(lParam);
        if (message == WM_SOCKET_RECEIVE) {
            peakBuffered = std::max(peakBuffered, s->m_bufRecv.Size());
            if (take) {
                QByteArray b(int(wParam), '\0');
                received += b.left(s->m_bufRecv.Get(b.data(), int(wParam), 1));
            }
        }
        if (onMessage)
            onMessage(message, wParam);
        return 0;
    }
    int count(UINT message) const
    {
        return int(std::count_if(log.begin(), log.end(), [&](const Msg& m) { return m.message == message; }));
    }
    bool has(UINT message, WPARAM w) const
    {
        return std::any_of(log.begin(), log.end(), [&](const Msg& m) { return m.message == message && m.wParam == w; });
    }
    std::vector<Msg> log;
    QByteArray received;
    bool take = true;
    int peakBuffered = 0;
    std::function<void(UINT, WPARAM)> onMessage;
};

// A table socket (read flag 1) connected to the caster, its request sent when it is up.
std::unique_ptr<CCESocket> TableSocket(Owner& owner, quint16 port, const QString& host = QStringLiteral("127.0.0.1"))
{
    auto s = std::make_unique<CCESocket>();
    s->vSetRead0Flag(1);
    EXPECT_TRUE(s->Create(1, &owner));
    EXPECT_TRUE(s->Connect(host, port));
    owner.onMessage = [raw = s.get()](UINT m, WPARAM w) {
        if (m == WM_SOCKET_EVENT && w == SOCKET_CONNECTED)
            raw->Send(QStringLiteral("GET / HTTP/1.0\r\n\r\n"));
    };
    return s;
}

QByteArray Table(int records)
{
    QByteArray t = "SOURCETABLE 200 OK\r\n\r\n";
    for (int i = 0; i < records; ++i)
        t += "STR;MP" + QByteArray::number(i) + ";x;RTCM 3.2;1004(1);2;GPS;NET;CHN;31.00;121.00;1;0;none;B;N;9600;\r\n";
    return t + "ENDSOURCETABLE\r\n";
}

class SocketTest : public ::testing::Test {
protected:
    void SetUp() override { Clock::setRealScale(0.02); } // time limits of 20 s and 30 s become 0.4 s and 0.6 s
    void TearDown() override { Clock::setRealScale(1.0); }
};

} // namespace

TEST_F(SocketTest, AWholeAnswerIsDeliveredOnceWhateverTheBlocksAndEnd)
{
    const QByteArray table = Table(40);
    struct Case {
        const char* name;
        std::function<void(ScriptedConnection&)> script;
        QByteArray want;
        bool closed; // a close message follows
    };
    const Case cases[] = {
        {"in one block, caster stays open", [&](ScriptedConnection& c) { Say(c, table); }, table, false},
        {"in 5-byte pieces, the end marker split too",
         [&](ScriptedConnection& c) {
             for (int i = 0; i < table.size(); i += 5) {
                 Say(c, table.mid(i, 5));
                 QTest::qWait(1); // the socket reads each piece on its own
             }
         },
         table, false},
        {"no end marker, caster closes", [&](ScriptedConnection& c) { Say(c, table.left(500)); c.socket->disconnectFromHost(); },
         table.left(500), true},
        {"half an answer, then silence", [&](ScriptedConnection& c) { Say(c, table.left(300)); }, table.left(300), true},
        {"nothing at all, silence", [](ScriptedConnection&) {}, QByteArray(), true},
    };
    for (const Case& c : cases) {
        ScriptedCaster caster(c.script);
        Owner owner;
        auto s = TableSocket(owner, caster.port());
        ASSERT_TRUE(WaitUntil([&] { return owner.count(WM_SOCKET_CLOSED) + owner.count(WM_SOCKET_RECEIVE) > 0; }))
            << c.name;
        QTest::qWait(c.closed ? 50 : 700); // past the silence limit: nothing more may come
        EXPECT_EQ(owner.received, c.want) << c.name;
        EXPECT_EQ(owner.count(WM_SOCKET_RECEIVE), c.want.isEmpty() ? 0 : 1) << c.name;
        EXPECT_EQ(owner.count(WM_SOCKET_CLOSED), c.closed ? 1 : 0) << c.name;
        EXPECT_TRUE(owner.has(WM_SOCKET_EVENT, SOCKET_CONNECTED));
    }
}

TEST_F(SocketTest, BlocksArriveInOrderWithTheBufferBoundedAndNothingLost)
{
    QByteArray stream;
    for (int i = 0; i < 300000; ++i)
        stream += char(i * 7 + i / 256);
    ScriptedCaster caster([&](ScriptedConnection& c) { c.socket->write(stream); });
    Owner owner;
    CVRSSocket s;
    s.m_bufRecv.SetCapacity(4096);
    ASSERT_TRUE(s.Create(1, &owner));
    ASSERT_TRUE(s.Connect(QStringLiteral("127.0.0.1"), caster.port()));
    owner.onMessage = [&](UINT m, WPARAM w) {
        if (m == WM_SOCKET_EVENT && w == SOCKET_CONNECTED)
            s.Send(QStringLiteral("GET /M HTTP/1.0\r\n\r\n"));
    };
    ASSERT_TRUE(WaitUntil([&] { return owner.received.size() >= stream.size(); }, 30000)) << owner.received.size();
    EXPECT_EQ(owner.received, stream);
    EXPECT_LE(owner.peakBuffered, 4096);
    EXPECT_GT(owner.count(WM_SOCKET_RECEIVE), 300000 / 4096);
    EXPECT_EQ(s.m_ucLinkState, LINK_NONE);
    EXPECT_EQ(s.m_ucReady, 1);
}

TEST_F(SocketTest, NamesAreLookedUpAndFailuresReportedOnce)
{
    ScriptedCaster caster([](ScriptedConnection& c) { Say(c, "ICY 200 OK\r\n"); });
    {
        Owner owner;
        auto s = TableSocket(owner, caster.port(), QStringLiteral("localhost"));
        ASSERT_TRUE(WaitUntil([&] { return owner.has(WM_SOCKET_EVENT, SOCKET_CONNECTED); }));
    }
    struct Case {
        QString host;
        quint16 port;
    };
    const Case failing[] = {
        {QStringLiteral("127.0.0.1"), FreePort()},                // refused
        {QStringLiteral("no-such-host.invalid"), caster.port()}, // name not found
        {QStringLiteral("192.0.2.254"), 2101},                    // no answer: the connect time limit
    };
    for (const Case& c : failing) {
        Owner owner;
        CVRSSocket s;
        ASSERT_TRUE(s.Create(1, &owner));
        ASSERT_TRUE(s.Connect(c.host, c.port));
        ASSERT_TRUE(WaitUntil([&] { return !owner.log.empty(); }, 15000)) << qPrintable(c.host);
        QTest::qWait(100);
        ASSERT_EQ(owner.log.size(), 1u) << qPrintable(c.host);
        EXPECT_EQ(owner.log[0].message, WM_SOCKET_EVENT);
        EXPECT_EQ(owner.log[0].wParam, WPARAM(SOCKET_FAILED));
        EXPECT_EQ(s.Send(QStringLiteral("x")), -1);
    }
    // Refused at once: bad arguments, a second Create, no owner.
    CCESocket s;
    Owner owner;
    EXPECT_FALSE(s.Create(1, nullptr));
    EXPECT_FALSE(s.Connect(QStringLiteral("127.0.0.1"), 2101)); // not created
    ASSERT_TRUE(s.Create(1, &owner));
    EXPECT_FALSE(s.Create(1, &owner));
    EXPECT_FALSE(s.Connect(QString(), 2101));
    EXPECT_FALSE(s.Connect(QStringLiteral("127.0.0.1"), 0));
    EXPECT_FALSE(s.Connect(QStringLiteral("127.0.0.1"), 70000));
}

TEST_F(SocketTest, MessagesOfADestroyedSocketAreDropped)
{
    ScriptedCaster caster([](ScriptedConnection& c) {
        Say(c, "ICY 200 OK\r\n");
        c.socket->disconnectFromHost();
    });
    Owner owner;
    auto s = std::make_unique<CVRSSocket>();
    ASSERT_TRUE(s->Create(1, &owner));
    ASSERT_TRUE(s->Connect(QStringLiteral("127.0.0.1"), caster.port()));
    owner.take = false;
    owner.onMessage = [&](UINT m, WPARAM w) {
        if (m == WM_SOCKET_EVENT && w == SOCKET_CONNECTED)
            s->Send(QStringLiteral("GET /M HTTP/1.0\r\n\r\n"));
        if (m == WM_SOCKET_RECEIVE)
            s.reset(); // as the page does on a refused login; the close is still queued
    };
    ASSERT_TRUE(WaitUntil([&] { return !s; }));
    QTest::qWait(200);
    EXPECT_EQ(owner.count(WM_SOCKET_CLOSED), 0);
    EXPECT_EQ(owner.count(WM_SOCKET_RECEIVE), 1);
}

TEST_F(SocketTest, LocalAddressesAsDottedBytes)
{
    const HostEntry* e = CCESocket::lpGetLocoalAddress();
    ASSERT_NE(e, nullptr);
    ASSERT_EQ(e->h_addrtype, 2); // every host has at least its loopback address
    ASSERT_FALSE(e->h_addr_list.empty());
    CCESocket::SetLocalAddressSource([] {
        HostEntry h;
        h.h_addrtype = 2;
        h.h_addr_list = {{10, 0, 0, 7}};
        return h;
    });
    EXPECT_EQ(CCESocket::lpGetLocoalAddress()->h_addr_list.at(0)[3], 7);
    CCESocket::SetLocalAddressSource(nullptr);
}
