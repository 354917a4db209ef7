#pragma once
// Thin growable arrays in the handheld framework's shape (GetSize, SetSize, Add, GetAt, SetAt,
// RemoveAll). Reads and writes through GetAt/SetAt outside the array are refused instead of touching
// memory that is not there; operator[] is for indices the caller knows to be valid.

#include "TesselExport.h"

#include <QString>
#include <QtGlobal>

#include <vector>

namespace platform {
class CObject;
}

template <class T>
class CArray {
public:
    int GetSize() const { return int(m_items.size()); }
    int GetCount() const { return GetSize(); }
    bool IsEmpty() const { return m_items.empty(); }
    int GetUpperBound() const { return GetSize() - 1; }

    // Grows with value-initialised entries (null pointers, zeroes, empty strings) or shrinks.
    void SetSize(int n) { m_items.resize(std::size_t(n < 0 ? 0 : n)); }

    T& operator[](int i)
    {
        Q_ASSERT(i >= 0 && i < GetSize());
        return m_items[std::size_t(i)];
    }
    const T& operator[](int i) const
    {
        Q_ASSERT(i >= 0 && i < GetSize());
        return m_items[std::size_t(i)];
    }
    T& ElementAt(int i) { return (*this)[i]; }

    // Outside the array: a value-initialised T.
    T GetAt(int i) const { return i >= 0 && i < GetSize() ? m_items[std::size_t(i)] : T{}; }
    // Outside the array: nothing is written; returns false.
    bool SetAt(int i, T v)
    {
        if (i < 0 || i >= GetSize())
            return false;
        m_items[std::size_t(i)] = std::move(v);
        return true;
    }
    // Writes at i, growing the array when i lies past its end.
    void SetAtGrow(int i, T v)
    {
        if (i < 0)
            return;
        if (i >= GetSize())
            SetSize(i + 1);
        m_items[std::size_t(i)] = std::move(v);
    }
    int Add(T v)
    {
        m_items.push_back(std::move(v));
        return GetSize() - 1;
    }
    void InsertAt(int i, T v)
    {
        if (i < 0)
            i = 0;
        if (i > GetSize())
            i = GetSize();
        m_items.insert(m_items.begin() + i, std::move(v));
    }
    void RemoveAt(int i, int count = 1)
    {
        if (i < 0 || count <= 0 || i >= GetSize())
            return;
        // count - (size - i) rather than i + count: a count up to INT_MAX means "to the end", not overflow.
        const int end = count >= GetSize() - i ? GetSize() : i + count;
        m_items.erase(m_items.begin() + i, m_items.begin() + end);
    }
    void RemoveAll() { m_items.clear(); }

    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<T> m_items;
};

// The instantiations the library offers its users, compiled once inside libtessel.so.
extern template class TESSEL_EXPORT CArray<QString>;
extern template class TESSEL_EXPORT CArray<platform::CObject*>;
