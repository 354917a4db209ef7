// The result text: a short log of the last load, save or parse, written as a run of empty XML
// elements ("<read encoding=\"UTF-8\" length=\"12\"/>"), so that callers can read it with the
// document engine itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CXmlResult
{
public:
    static constexpr size_t kMaxLength = 999;

    struct Attr
    {
        std::string strName;
        std::u16string strValue;
    };

    // Starts a new entry unless the log is already over its size cap; the attribute setters
    // below then apply to it (and do nothing when the entry was not added).
    CXmlResult& Add(const char* pszName);
    CXmlResult& Text(const char* pszAttr, std::u16string_view value);
    CXmlResult& Text(const char* pszAttr, std::string_view value);
    CXmlResult& Number(const char* pszAttr, int64_t n);

    // Updates an attribute of the first existing entry of that name; returns false when absent.
    bool Update(const char* pszName, const char* pszAttr, std::u16string_view value);
    bool Update(const char* pszName, const char* pszAttr, int64_t n);

    void Clear();
    void Append(const CXmlResult& other);
    bool Empty() const { return m_entries.empty(); }
    const std::u16string& Str() const { return m_str; }

private:
    struct Entry
    {
        std::string strName;
        std::vector<Attr> attrs;
    };
    void SetAttr(Entry& e, const char* pszAttr, std::u16string value);
    void Render();

    std::vector<Entry> m_entries;
    std::u16string m_str;
    bool m_bLastAdded = false;
};
