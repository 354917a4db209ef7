#include "NBuffer.h"

#include <algorithm>
#include <cstring>

CnBuffer::CnBuffer(int capacity) : m_capacity(capacity > 0 ? capacity : 0) {}

int CnBuffer::Put(const char* src, int n)
{
    if (!src || n <= 0)
        return 0;
    const int take = std::min(n, Free());
    if (take <= 0)
        return 0;
    Compact();
    m_data.insert(m_data.end(), src, src + take);
    return take;
}

int CnBuffer::Get(char* dest, int n, int remove)
{
    if (!dest || n <= 0)
        return 0;
    const int take = std::min(n, Size());
    if (take > 0)
        std::memcpy(dest, m_data.data() + m_head, std::size_t(take));
    if (remove) {
        m_head += std::size_t(take);
        if (m_head == m_data.size())
            Clear();
    }
    return take;
}

platform::BOOL CnBuffer::bGetThenRearrange(char* dest, int n)
{
    if (!dest || n < 0 || n > Size())
        return platform::FALSE;
    Get(dest, n, 1);
    return platform::TRUE;
}

void CnBuffer::Clear()
{
    m_data.clear();
    m_head = 0;
    // A whole answer can be megabytes; do not keep that much reserved behind an empty buffer.
    if (m_data.capacity() > std::size_t(64 * 1024))
        std::vector<char>().swap(m_data);
}

void CnBuffer::Compact()
{
    // Taken bytes are dropped once they are the larger part, so appends stay amortised O(1).
    if (m_head > 0 && m_head * 2 >= m_data.size()) {
        m_data.erase(m_data.begin(), m_data.begin() + std::ptrdiff_t(m_head));
        m_head = 0;
    }
}
