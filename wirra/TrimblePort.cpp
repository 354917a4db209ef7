#include "TrimblePort.h"

#include "MessageKinds.h"
#include "PortMap.h"
#include "platform/Window.h"

#include <chrono>

using platform::BOOL;
using platform::FALSE;
using wirra::FramerStats;

namespace {
std::int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
} // namespace

CTrimblePort::CTrimblePort() : m_sink(*this), m_framer(m_sink) {}

CTrimblePort::~CTrimblePort()
{
    // Stop the reader before this object's parts go: it calls OnReceive.
    vClosePort();
}

BOOL CTrimblePort::bOpenPort(platform::Window* owner, unsigned port, unsigned baud)
{
    const QString device = wirra::PortDevice(port);
    if (device.isEmpty()) {
        vClosePort();
        SetOpenError(QString(), QStringLiteral("port %1 has no device in the port map (ports.conf)").arg(port));
        return FALSE;
    }
    return bOpenDevice(owner, device, baud);
}

BOOL CTrimblePort::bOpenDevice(platform::Window* owner, const QString& device, unsigned baud)
{
    vClosePort(); // the reader is stopped from here on, so the framer is ours
    m_framer.Reset();
    m_framer.ClearStats();
    m_out.Clear();
    {
        std::lock_guard<std::mutex> lock(m_statsMutex);
        m_stats = FramerStats();
    }
    m_owner = owner ? owner->widget() : nullptr;
    m_kinds = m_dwOption & (kOptionText | kOptionBinary);
    return CMySerialPort::bOpenDevice(device, baud);
}

void CTrimblePort::vSendCorsData(const char* bytes, int n, int type)
{
    if (bytes && n > 0)
        WriteBytes(bytes, std::size_t(n));
}

FramerStats CTrimblePort::Stats() const
{
    std::lock_guard<std::mutex> lock(m_statsMutex);
    return m_stats;
}

void CTrimblePort::Sink::OnFrame(int type, unsigned id, const char* bytes, std::size_t n)
{
    const platform::DWORD need = type == wirra::kTypeBinary ? kOptionBinary : kOptionText;
    if (m_port.m_kinds != 0 && (m_port.m_kinds & need) == 0)
        return;
    if (m_port.m_out.Push(type, id, bytes, n))
        m_notify = true;
}

void CTrimblePort::OnReceive(const char* data, std::size_t n)
{
    m_framer.Feed(data, n, NowMs());
    AfterFeed();
}

void CTrimblePort::OnTimer()
{
    m_framer.Poll(NowMs());
    AfterFeed();
}

void CTrimblePort::OnRateChanged()
{
    // Bytes of a frame begun at the old rate cannot be completed at the new one.
    m_framer.Reset();
    AfterFeed();
}

void CTrimblePort::AfterFeed()
{
    if (m_framer.BurstPending())
        ArmTimer(int(m_framer.BurstDeadline() - NowMs()) + 1);
    {
        std::lock_guard<std::mutex> lock(m_statsMutex);
        m_stats = m_framer.Stats();
    }
    if (m_sink.m_notify) {
        m_sink.m_notify = false;
        platform::PostMessageTo(m_owner, WM_RECEIVER_DATA, 0, 0);
    }
}
