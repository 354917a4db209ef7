// The names of the elements open during a parse, each kept once, with a value per name (the
// parse keeps the innermost open element of that name there). An end tag finds its element with
// one lookup instead of a search down the open-element stack, so parsing stays linear in the
// text whatever the names are. Names are hashed with a key chosen at random once per process,
// so a text cannot be made of names that all land in the same place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CXmlNameTable
{
public:
    static constexpr uint32_t kNone = 0xFFFFFFFFu;

    // Names are read from text (which must outlive the table), compared as written or, with
    // bIgnoreCase, with A to Z taken as small letters.
    CXmlNameTable(const char16_t* text, bool bIgnoreCase);

    // The id of the name at [nStart, nStart + nLen): an existing one, or a new one whose value is
    // kNone. Ids count up from 0 and stay valid for the table's life.
    uint32_t Add(uint32_t nStart, uint32_t nLen);
    // The id of the name, kNone when it was never added.
    uint32_t Find(uint32_t nStart, uint32_t nLen) const;

    uint32_t& Value(uint32_t nId) { return m_names[nId].nValue; }
    uint32_t Size() const { return uint32_t(m_names.size()); }

private:
    struct Name
    {
        uint64_t nHash;
        uint32_t nStart; // its first occurrence in the text
        uint32_t nLen;
        uint32_t nValue;
    };
    uint64_t Hash(uint32_t nStart, uint32_t nLen) const;
    bool Same(const Name& n, uint32_t nStart, uint32_t nLen) const;
    // The bucket holding the name, or the empty bucket where it would go.
    size_t Bucket(uint64_t nHash, uint32_t nStart, uint32_t nLen) const;
    void Grow();

    const char16_t* m_p;
    bool m_bIgnoreCase;
    std::vector<Name> m_names;
    std::vector<uint32_t> m_buckets; // ids; open addressing, a power of two, at most half full
};
