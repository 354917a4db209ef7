#pragma once
// CnBuffer: the receive buffer of a socket, a byte queue with a fixed capacity. The socket puts what
// arrives at its end; the owner takes bytes from its front. The capacity bounds the memory a peer can
// make us hold: a socket stops reading while its buffer is full (the peer is then held back by TCP).

#include "platform/WinTypes.h"

#include <vector>

class CnBuffer {
public:
    explicit CnBuffer(int capacity = kDefaultCapacity);

    static constexpr int kDefaultCapacity = 1 << 20;

    // Appends up to n bytes; returns how many were stored (fewer when the buffer fills up).
    int Put(const char* src, int n);
    // Copies up to n bytes from the front into dest and, when remove is non-zero, removes them;
    // returns how many were copied.
    int Get(char* dest, int n, int remove);
    // Copies exactly n bytes from the front into dest and removes them; FALSE (and nothing taken)
    // when fewer than n bytes are held.
    platform::BOOL bGetThenRearrange(char* dest, int n);
    void Clear();

    int Size() const { return int(m_data.size() - m_head); }
    int Free() const { return m_capacity - Size(); }
    int Capacity() const { return m_capacity; }
    // A smaller capacity than the bytes held keeps them; only later Puts are refused.
    void SetCapacity(int capacity) { m_capacity = capacity > 0 ? capacity : 0; }

private:
    void Compact();

    std::vector<char> m_data;
    std::size_t m_head = 0; // bytes before it have been taken
    int m_capacity;
};
