#include "XmlResult.h"

#include "XmlText.h"

static std::u16string Widen(std::string_view s)
{
    return std::u16string(s.begin(), s.end());
}

CXmlResult& CXmlResult::Add(const char* pszName)
{
    m_bLastAdded = m_str.size() <= kMaxLength;
    if (m_bLastAdded) {
        m_entries.push_back(Entry{pszName, {}});
        m_str += u'<';
        m_str += Widen(pszName);
        m_str += u"/>";
    }
    return *this;
}

void CXmlResult::SetAttr(Entry& e, const char* pszAttr, std::u16string value)
{
    for (Attr& a : e.attrs) {
        if (a.strName == pszAttr) {
            a.strValue = std::move(value);
            return;
        }
    }
    e.attrs.push_back(Attr{pszAttr, std::move(value)});
}

CXmlResult& CXmlResult::Text(const char* pszAttr, std::u16string_view value)
{
    if (!m_bLastAdded)
        return *this;
    Entry& e = m_entries.back();
    for (const Attr& a : e.attrs) {
        if (a.strName == pszAttr) {
            SetAttr(e, pszAttr, std::u16string(value));
            Render();
            return *this;
        }
    }
    e.attrs.push_back(Attr{pszAttr, std::u16string(value)});
    // New attributes of the newest entry go in before its "/>".
    std::u16string add = u" " + Widen(pszAttr) + u"=\"";
    XmlText::AppendEscaped(add, value, true, false);
    add += u'"';
    m_str.insert(m_str.size() - 2, add);
    return *this;
}

CXmlResult& CXmlResult::Text(const char* pszAttr, std::string_view value)
{
    return Text(pszAttr, Widen(value));
}

CXmlResult& CXmlResult::Number(const char* pszAttr, int64_t n)
{
    return Text(pszAttr, std::string_view(std::to_string(n)));
}

bool CXmlResult::Update(const char* pszName, const char* pszAttr, std::u16string_view value)
{
    for (Entry& e : m_entries) {
        if (e.strName == pszName) {
            SetAttr(e, pszAttr, std::u16string(value));
            Render();
            return true;
        }
    }
    return false;
}

bool CXmlResult::Update(const char* pszName, const char* pszAttr, int64_t n)
{
    std::string s = std::to_string(n);
    return Update(pszName, pszAttr, Widen(s));
}

void CXmlResult::Clear()
{
    m_entries.clear();
    m_str.clear();
    m_bLastAdded = false;
}

void CXmlResult::Append(const CXmlResult& other)
{
    for (const Entry& e : other.m_entries) {
        if (m_str.size() > kMaxLength)
            break;
        m_entries.push_back(e);
        Render();
    }
}

void CXmlResult::Render()
{
    m_str.clear();
    for (const Entry& e : m_entries) {
        m_str += u'<';
        m_str += Widen(e.strName);
        for (const Attr& a : e.attrs) {
            m_str += u' ';
            m_str += Widen(a.strName);
            m_str += u"=\"";
            XmlText::AppendEscaped(m_str, a.strValue, true, false);
            m_str += u'"';
        }
        m_str += u"/>";
    }
}
