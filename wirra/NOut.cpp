#include "NOut.h"

#include <chrono>

int CNOut::Read()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_queue.empty()) {
        m_notified = false;
        return 0;
    }
    m_current = std::move(m_queue.front());
    m_queue.pop_front();
    m_bytes -= std::size_t(m_current.Length());
    return 1;
}

bool CNOut::WaitForMessage(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_ready.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return !m_queue.empty(); });
}

bool CNOut::Push(int type, unsigned id, const char* bytes, std::size_t n)
{
    bool notify = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        while (!m_queue.empty() && (m_queue.size() >= kMaxMessages || m_bytes + n > kMaxBytes)) {
            m_bytes -= std::size_t(m_queue.front().Length());
            m_queue.pop_front();
            ++m_discarded;
        }
        m_queue.emplace_back(type, id, bytes, n);
        m_bytes += n;
        if (!m_notified) {
            m_notified = true;
            notify = true;
        }
    }
    m_ready.notify_all();
    return notify;
}

void CNOut::Clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_queue.clear();
    m_bytes = 0;
    m_notified = false;
}

std::size_t CNOut::Waiting() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_queue.size();
}

std::uint64_t CNOut::Discarded() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_discarded;
}
