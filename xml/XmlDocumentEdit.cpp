// Editing: the text changes in place and the records behind the change move with it.
#include "XmlDocument.h"

#include "XmlText.h"

using namespace XmlChars;

namespace
{
// Element and attribute names the engine writes must read back as the same name.
bool IsWritableName(std::u16string_view name)
{
    if (name.empty() || !StartsTag(name[0]))
        return false;
    for (char16_t c : name)
        if (EndsName(c))
            return false;
    return true;
}
} // namespace

void CXmlDocument::Replace(uint32_t nPos, uint32_t nRemove, std::u16string_view ins, uint32_t iEnclosing)
{
    const int64_t nDelta = int64_t(ins.size()) - int64_t(nRemove);
    m_strDoc.replace(nPos, nRemove, ins);
    const uint32_t nAfter = nPos + nRemove;
    for (uint32_t i = 1; i < m_iNextFree; ++i) {
        XmlElemRecord& r = m_index[i];
        if (r.nStart >= nAfter)
            r.nStart = uint32_t(int64_t(r.nStart) + nDelta);
    }
    for (uint32_t i = iEnclosing;; i = m_index[i].iParent) {
        XmlElemRecord& r = m_index[i];
        r.nLength = uint32_t(int64_t(r.nLength) + nDelta);
        if (i == 0)
            break;
    }
    if (m_nNodeType && m_nNodeOffset >= nAfter)
        m_nNodeOffset = uint32_t(int64_t(m_nNodeOffset) + nDelta);
}

uint32_t CXmlDocument::SkipSpaceToTag(uint32_t n) const
{
    uint32_t k = n;
    while (k < m_strDoc.size() && IsSpace(m_strDoc[k]))
        ++k;
    return (k < m_strDoc.size() && m_strDoc[k] == '<') ? k : n;
}

bool CXmlDocument::SetAttributeAt(XmlPos pos, std::u16string_view name, std::u16string_view value)
{
    uint32_t i = PosIndex(pos);
    if (m_index.Empty() || Blocked() || !i || !IsWritableName(name))
        return false;
    if (pos == XML_POS_CURRENT && m_nNodeType)
        return false;
    const uint32_t st = m_index.StartTagLen(i);
    const uint32_t et = m_index.EndTagLen(i);
    AttrSpan s = FindAttribute(i, name);
    std::u16string ins;
    uint32_t nAt, nRemove = 0;
    if (s.bFound) {
        ins = s.bHasValue ? u"\"" : u"=\"";
        nAt = s.nReplStart;
        nRemove = s.nReplLen;
    } else {
        ins = u" ";
        ins.append(name);
        ins += u"=\"";
        nAt = s.nInsertAt;
    }
    XmlText::AppendEscaped(ins, value, true, false);
    ins += u'"';
    const uint32_t nOldLen = m_index[i].nLength;
    Replace(nAt, nRemove, ins, i);
    m_index.SetTagLens(i, st + (m_index[i].nLength - nOldLen), et);
    return true;
}

bool CXmlDocument::SetAttributeAt(XmlPos pos, std::u16string_view name, int nValue)
{
    std::string s = std::to_string(nValue);
    return SetAttributeAt(pos, name, std::u16string(s.begin(), s.end()));
}

bool CXmlDocument::SetTextAt(XmlPos pos, std::u16string_view text, int nFlags)
{
    uint32_t i = PosIndex(pos);
    if (m_index.Empty() || Blocked() || !i)
        return false;
    if (pos == XML_POS_CURRENT && m_nNodeType)
        return false;
    const XmlElemRecord& r = m_index[i];
    if (r.iChild || (r.nFlags & XML_ELEM_UNENDED))
        return false;
    std::u16string body = (nFlags & XML_ADD_CDATA) ? XmlText::CData(text)
                                                   : XmlText::Escape(text, false, (nFlags & XML_ADD_REFS) != 0);
    const uint32_t st = m_index.StartTagLen(i);
    const uint32_t et = m_index.EndTagLen(i);
    if (!et) {
        // An empty-element tag becomes a start and end tag pair around the text.
        std::u16string_view name = ElemName(i);
        std::u16string ins = u">" + body + u"</";
        ins.append(name);
        ins += u'>';
        uint32_t nSlash = r.nStart + st - 2;
        if (m_strDoc[nSlash] != '/')
            return false;
        uint32_t nNameLen = uint32_t(name.size());
        Replace(nSlash, 2, ins, i);
        m_index.SetTagLens(i, st - 1, nNameLen + 3);
        return true;
    }
    uint32_t nFrom = r.nStart + st;
    uint32_t nTo = r.nStart + r.nLength - et;
    Replace(nFrom, nTo - nFrom, body, i);
    return true;
}

bool CXmlDocument::AddElement(std::u16string_view name, std::u16string_view text, int nFlags)
{
    if (m_index.Empty() || Blocked() || !IsWritableName(name))
        return false;
    if ((nFlags & XML_ADD_NO_END) && !text.empty())
        return false;
    uint32_t iParent, iAfter;
    if (nFlags & XML_ADD_CHILD) {
        if (!m_iPos || m_nNodeType)
            return false;
        iParent = m_iPos;
        iAfter = m_iPosChild;
    } else {
        iParent = m_iPosParent;
        iAfter = m_iPos;
    }
    const XmlElemRecord& par = m_index[iParent];
    if (!iAfter && par.iChild)
        iAfter = m_index[par.iChild].iPrev; // after the last child
    if (iParent && !iAfter && (par.nFlags & XML_ELEM_UNENDED))
        return false; // no place for content in an element without end tag

    std::u16string elem = u"<";
    elem.append(name);
    uint32_t st, et = 0;
    bool bUnended = false;
    if (nFlags & XML_ADD_NO_END) {
        elem += u'>';
        st = uint32_t(elem.size());
        bUnended = true;
    } else if (!text.empty()) {
        elem += u'>';
        st = uint32_t(elem.size());
        if (nFlags & XML_ADD_CDATA)
            elem += XmlText::CData(text);
        else
            XmlText::AppendEscaped(elem, text, false, (nFlags & XML_ADD_REFS) != 0);
        elem += u"</";
        elem.append(name);
        elem += u'>';
        et = uint32_t(name.size()) + 3;
    } else {
        elem += (nFlags & XML_ADD_SPACE) ? u" />" : u"/>";
        st = uint32_t(elem.size());
    }
    const std::u16string_view br = (nFlags & XML_ADD_NO_BREAK) ? u"" : u"\r\n";

    uint32_t nNewStart;
    if (iAfter) {
        const XmlElemRecord& a = m_index[iAfter];
        nNewStart = SkipSpaceToTag(a.nStart + a.nLength);
        Replace(nNewStart, 0, elem + std::u16string(br), iParent);
    } else if (!iParent) {
        nNewStart = uint32_t(m_strDoc.size());
        Replace(nNewStart, 0, elem + std::u16string(br), 0);
    } else {
        const uint32_t pst = m_index.StartTagLen(iParent);
        const uint32_t pet = m_index.EndTagLen(iParent);
        if (pet) {
            nNewStart = SkipSpaceToTag(par.nStart + pst);
            Replace(nNewStart, 0, elem + std::u16string(br), iParent);
        } else {
            // The parent is an empty-element tag: it gets an end tag on a line of its own.
            uint32_t nSlash = par.nStart + pst - 2;
            if (m_strDoc[nSlash] != '/')
                return false;
            std::u16string_view pname = ElemName(iParent);
            std::u16string ins = u">";
            ins += br;
            ins += elem;
            ins += br;
            ins += u"</";
            ins.append(pname);
            uint32_t nPNameLen = uint32_t(pname.size());
            nNewStart = nSlash + 1 + uint32_t(br.size());
            Replace(nSlash, 1, ins, iParent);
            m_index.SetTagLens(iParent, pst - 1, nPNameLen + 3);
        }
    }

    uint32_t i = NewRecord();
    XmlElemRecord& r = m_index[i];
    r = XmlElemRecord{};
    r.nStart = nNewStart;
    r.nLength = uint32_t(elem.size());
    r.nFlags = bUnended ? uint32_t(XML_ELEM_UNENDED) : 0u;
    m_index.SetTagLens(i, st, et);
    if (!iAfter) {
        LinkLastChild(iParent, i);
    } else {
        XmlElemRecord& a = m_index[iAfter];
        r.iParent = iParent;
        r.iPrev = iAfter;
        r.iNext = a.iNext;
        if (a.iNext)
            m_index[a.iNext].iPrev = i;
        else
            m_index[m_index[iParent].iChild].iPrev = i;
        a.iNext = i;
    }
    if (nFlags & XML_ADD_CHILD) {
        m_iPosChild = i;
    } else {
        m_iPos = i;
        m_iPosChild = 0;
    }
    m_nNodeType = 0;
    return true;
}

bool CXmlDocument::RemoveCurrent()
{
    if (m_index.Empty() || Blocked() || !m_iPos || m_nNodeType)
        return false;
    uint32_t i = m_iPos;
    uint32_t iPrev = (m_index[i].nFlags & XML_ELEM_FIRST) ? 0 : m_index[i].iPrev;
    const XmlElemRecord& r = m_index[i];
    uint32_t nEnd = SkipSpaceToTag(r.nStart + r.nLength);
    uint32_t iParent = r.iParent;
    uint32_t nStart = r.nStart;
    Replace(nStart, nEnd - nStart, u"", iParent);
    // Unlink; a removed first child hands its flag and the last-child link to the next one.
    XmlElemRecord& e = m_index[i];
    XmlElemRecord& par = m_index[iParent];
    if (par.iChild == i) {
        par.iChild = e.iNext;
        if (e.iNext) {
            m_index[e.iNext].nFlags |= XML_ELEM_FIRST;
            m_index[e.iNext].iPrev = e.iPrev;
        }
    } else {
        m_index[e.iPrev].iNext = e.iNext;
        if (e.iNext)
            m_index[e.iNext].iPrev = e.iPrev;
        else
            m_index[par.iChild].iPrev = e.iPrev;
    }
    e.iNext = 0;
    e.iPrev = 0;
    e.nFlags &= ~XML_ELEM_FIRST;
    m_iPos = iPrev;
    m_iPosChild = 0;
    m_nNodeType = 0;
    return true;
}

bool CXmlDocument::RemoveChild()
{
    if (m_index.Empty() || Blocked() || !m_iPosChild)
        return false;
    // Removing the child is removing the current element one level down.
    uint32_t iPos = m_iPos, iParent = m_iPosParent;
    m_iPos = m_iPosChild;
    m_nNodeType = 0;
    bool bOk = RemoveCurrent();
    m_iPosChild = m_iPos;
    m_iPos = iPos;
    m_iPosParent = iParent;
    return bOk;
}
