#include "XmlElementIndex.h"

#include <algorithm>
#include <cstring>

void CXmlElementIndex::Reserve(uint32_t n)
{
    if (n <= m_nCapacity)
        return;
    uint64_t want = std::max<uint64_t>(n, uint64_t(m_nCapacity) + m_nCapacity / 2);
    want = std::min<uint64_t>(want, 0xFFFFFFFFull);
    uint64_t remaining = want - m_nCapacity;
    // Fill the partial last page first (it is the only one ever reallocated), then add pages.
    if (!m_pages.empty() && m_nLastPageSize < kPageSize) {
        uint32_t newSize = uint32_t(std::min<uint64_t>(kPageSize, m_nLastPageSize + remaining));
        std::unique_ptr<XmlElemRecord[]> page(new XmlElemRecord[newSize]);
        std::memcpy(page.get(), m_pages.back().get(), sizeof(XmlElemRecord) * m_nLastPageSize);
        remaining -= newSize - m_nLastPageSize;
        m_pages.back() = std::move(page);
        m_nLastPageSize = newSize;
    }
    while (remaining > 0) {
        uint32_t size = uint32_t(std::min<uint64_t>(kPageSize, remaining));
        m_pages.emplace_back(new XmlElemRecord[size]);
        m_nLastPageSize = size;
        remaining -= size;
    }
    m_nCapacity = uint32_t(want);
}

void CXmlElementIndex::Free()
{
    m_pages.clear();
    m_pages.shrink_to_fit();
    m_nLastPageSize = 0;
    m_nCapacity = 0;
    m_overflow.clear();
}

uint32_t CXmlElementIndex::StartTagLen(uint32_t i) const
{
    uint32_t v = (*this)[i].nTagLengths & kStartMask;
    if (v == kStartMask) {
        auto it = m_overflow.find(i);
        if (it != m_overflow.end())
            return it->second.first;
    }
    return v;
}

uint32_t CXmlElementIndex::EndTagLen(uint32_t i) const
{
    uint32_t v = (*this)[i].nTagLengths >> 22;
    if (v == kEndMax) {
        auto it = m_overflow.find(i);
        if (it != m_overflow.end())
            return it->second.second;
    }
    return v;
}

void CXmlElementIndex::SetTagLens(uint32_t i, uint32_t nStart, uint32_t nEnd)
{
    if (nStart >= kStartMask || nEnd >= kEndMax) {
        m_overflow[i] = {nStart, nEnd};
        (*this)[i].nTagLengths = std::min(nStart, kStartMask) | (std::min(nEnd, kEndMax) << 22);
        return;
    }
    if (!m_overflow.empty())
        m_overflow.erase(i);
    (*this)[i].nTagLengths = nStart | (nEnd << 22);
}
