// The element index: one 32-byte record per element, kept in pages of 64K records so that
// growing a large index never moves the records already built.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

struct XmlElemRecord
{
    uint32_t nStart;      // offset of the element's "<"
    uint32_t nLength;     // start tag to end tag
    uint32_t nTagLengths; // start tag length (low 22 bits), end tag length (high 10 bits)
    uint32_t nFlags;
    uint32_t iParent;
    uint32_t iChild;      // first child
    uint32_t iNext;
    uint32_t iPrev;       // for a first child: the last child of the same parent
};
static_assert(sizeof(XmlElemRecord) == 32, "an element record is 8 words");

enum : uint32_t
{
    XML_ELEM_FIRST = 0x01,     // first child of its parent
    XML_ELEM_UNENDED = 0x02,   // start tag without end tag
    XML_ELEM_PROBLEM = 0x04,   // content holds a syntax problem
    XML_ELEM_ILLFORMED = 0x08, // on record 0 only: document not well-formed
};

class CXmlElementIndex
{
public:
    static constexpr uint32_t kPageBits = 16;
    static constexpr uint32_t kPageSize = 1u << kPageBits;

    XmlElemRecord& operator[](uint32_t i) { return m_pages[i >> kPageBits][i & (kPageSize - 1)]; }
    const XmlElemRecord& operator[](uint32_t i) const { return m_pages[i >> kPageBits][i & (kPageSize - 1)]; }

    uint32_t Capacity() const { return m_nCapacity; }
    // Makes room for at least n records; grows by half so that appends stay amortised.
    void Reserve(uint32_t n);
    void EnsureRoomFor(uint32_t i)
    {
        if (i >= m_nCapacity)
            Reserve(i + 1);
    }
    void Free();
    bool Empty() const { return m_nCapacity == 0; }

    // The 22/10-bit fields overflow for huge start tags or end tags longer than 1023 characters;
    // such lengths are kept beside the record instead of being truncated.
    uint32_t StartTagLen(uint32_t i) const;
    uint32_t EndTagLen(uint32_t i) const;
    void SetTagLens(uint32_t i, uint32_t nStart, uint32_t nEnd);
    void ClearOverflow() { m_overflow.clear(); }

private:
    static constexpr uint32_t kStartMask = (1u << 22) - 1;
    static constexpr uint32_t kEndMax = (1u << 10) - 1;
    std::vector<std::unique_ptr<XmlElemRecord[]>> m_pages;
    uint32_t m_nLastPageSize = 0;
    uint32_t m_nCapacity = 0;
    std::unordered_map<uint32_t, std::pair<uint32_t, uint32_t>> m_overflow;
};
