#include "XmlNameTable.h"

#include "XmlTokenizer.h"

#include <random>

namespace
{
struct SipKey
{
    uint64_t k0, k1;
};

const SipKey& Key()
{
    static const SipKey key = [] {
        std::random_device rd;
        auto word = [&rd] { return (uint64_t(rd()) << 32) ^ rd(); };
        return SipKey{word(), word()};
    }();
    return key;
}

inline uint64_t Rotl(uint64_t x, int b) { return (x << b) | (x >> (64 - b)); }

// SipHash-1-3 over 64-bit words: keyed, so colliding names cannot be chosen in advance.
class Sip
{
public:
    explicit Sip(const SipKey& k)
        : v0(k.k0 ^ 0x736f6d6570736575ull), v1(k.k1 ^ 0x646f72616e646f6dull), v2(k.k0 ^ 0x6c7967656e657261ull),
          v3(k.k1 ^ 0x7465646279746573ull)
    {
    }
    void Word(uint64_t m)
    {
        v3 ^= m;
        Round();
        v0 ^= m;
    }
    uint64_t Finish(uint64_t nLenWord)
    {
        Word(nLenWord);
        v2 ^= 0xff;
        Round();
        Round();
        Round();
        return v0 ^ v1 ^ v2 ^ v3;
    }

private:
    void Round()
    {
        v0 += v1; v1 = Rotl(v1, 13); v1 ^= v0; v0 = Rotl(v0, 32);
        v2 += v3; v3 = Rotl(v3, 16); v3 ^= v2;
        v0 += v3; v3 = Rotl(v3, 21); v3 ^= v0;
        v2 += v1; v1 = Rotl(v1, 17); v1 ^= v2; v2 = Rotl(v2, 32);
    }
    uint64_t v0, v1, v2, v3;
};
} // namespace

CXmlNameTable::CXmlNameTable(const char16_t* text, bool bIgnoreCase)
    : m_p(text), m_bIgnoreCase(bIgnoreCase), m_buckets(64, kNone)
{
}

uint64_t CXmlNameTable::Hash(uint32_t nStart, uint32_t nLen) const
{
    Sip sip(Key());
    const char16_t* p = m_p + nStart;
    uint64_t w = 0;
    uint32_t i = 0;
    for (; i < nLen; ++i) {
        uint64_t c = m_bIgnoreCase ? XmlChars::Lower(p[i]) : p[i];
        w |= c << (16 * (i & 3));
        if ((i & 3) == 3) {
            sip.Word(w);
            w = 0;
        }
    }
    return sip.Finish(w | (uint64_t(nLen & 0xFFFF) << 48));
}

bool CXmlNameTable::Same(const Name& n, uint32_t nStart, uint32_t nLen) const
{
    if (n.nLen != nLen)
        return false;
    const char16_t* a = m_p + n.nStart;
    const char16_t* b = m_p + nStart;
    if (m_bIgnoreCase) {
        for (uint32_t i = 0; i < nLen; ++i)
            if (XmlChars::Lower(a[i]) != XmlChars::Lower(b[i]))
                return false;
        return true;
    }
    for (uint32_t i = 0; i < nLen; ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

size_t CXmlNameTable::Bucket(uint64_t nHash, uint32_t nStart, uint32_t nLen) const
{
    const size_t mask = m_buckets.size() - 1;
    for (size_t b = size_t(nHash) & mask;; b = (b + 1) & mask) {
        uint32_t id = m_buckets[b];
        if (id == kNone)
            return b;
        const Name& n = m_names[id];
        if (n.nHash == nHash && Same(n, nStart, nLen))
            return b;
    }
}

void CXmlNameTable::Grow()
{
    std::vector<uint32_t> buckets(m_buckets.size() * 2, kNone);
    const size_t mask = buckets.size() - 1;
    for (uint32_t id = 0; id < m_names.size(); ++id) {
        size_t b = size_t(m_names[id].nHash) & mask;
        while (buckets[b] != kNone)
            b = (b + 1) & mask;
        buckets[b] = id;
    }
    m_buckets.swap(buckets);
}

uint32_t CXmlNameTable::Add(uint32_t nStart, uint32_t nLen)
{
    const uint64_t nHash = Hash(nStart, nLen);
    size_t b = Bucket(nHash, nStart, nLen);
    if (m_buckets[b] != kNone)
        return m_buckets[b];
    const uint32_t id = uint32_t(m_names.size());
    m_names.push_back(Name{nHash, nStart, nLen, kNone});
    if (m_names.size() * 2 > m_buckets.size()) {
        Grow();
        return id;
    }
    m_buckets[b] = id;
    return id;
}

uint32_t CXmlNameTable::Find(uint32_t nStart, uint32_t nLen) const
{
    return m_buckets[Bucket(Hash(nStart, nLen), nStart, nLen)];
}
