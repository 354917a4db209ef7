// Parsing into the element index, navigation and reading.
#include "XmlDocument.h"

#include "XmlEncoding.h"
#include "XmlNameTable.h"
#include "XmlText.h"

#include <vector>

using namespace XmlChars;

bool CXmlDocument::SetDocText(const char16_t* pszText)
{
    // New text is a new document: the file it came from no longer decides how it is saved.
    m_nDocFlags &= ~XML_FILE_FLAGS;
    if (!pszText) {
        m_strDoc.clear();
        m_strDoc.shrink_to_fit();
        m_index.Free();
        m_iNextFree = 0;
        m_result.Clear();
        ResetPosition();
        return false;
    }
    return SetDocText(std::u16string_view(pszText));
}

bool CXmlDocument::SetDocText(std::u16string_view text)
{
    m_nDocFlags &= ~XML_FILE_FLAGS;
    m_strDoc.assign(text);
    m_result.Clear();
    return Parse();
}

bool CXmlDocument::IsWellFormed() const
{
    if (m_index.Empty())
        return false;
    const XmlElemRecord& r0 = m_index[0];
    return !(r0.nFlags & XML_ELEM_ILLFORMED) && r0.iChild != 0 && m_index[r0.iChild].iNext == 0;
}

uint32_t CXmlDocument::NewRecord()
{
    uint32_t i = m_iNextFree++;
    m_index.EnsureRoomFor(i);
    return i;
}

void CXmlDocument::LinkLastChild(uint32_t iParent, uint32_t i)
{
    XmlElemRecord& r = m_index[i];
    XmlElemRecord& p = m_index[iParent];
    r.iParent = iParent;
    r.iNext = 0;
    if (!p.iChild) {
        p.iChild = i;
        r.iPrev = i;
        r.nFlags |= XML_ELEM_FIRST;
    } else {
        XmlElemRecord& first = m_index[p.iChild];
        uint32_t iLast = first.iPrev;
        m_index[iLast].iNext = i;
        r.iPrev = iLast;
        first.iPrev = i;
    }
}

bool CXmlDocument::Parse()
{
    ResetPosition();
    m_iNextFree = 1;
    m_index.ClearOverflow();
    if (m_strDoc.size() >= 0xFFFFFFF0u) {
        // Offsets are 32-bit; a larger text is refused rather than indexed wrongly.
        m_strDoc.clear();
        m_result.Add("truncation_error").Text("encoding", std::string_view("UTF-16"));
    }
    const uint32_t nLen = uint32_t(m_strDoc.size());
    m_index.Reserve(nLen / 64 + 8);
    m_index[0] = XmlElemRecord{};
    if (nLen)
        ParseChildren(0, 0);
    m_index[0].nLength = nLen;
    if (nLen)
        AddResultEntriesForDocument();
    ResetPosition();
    return IsWellFormed();
}

void CXmlDocument::AddResultEntriesForDocument()
{
    const XmlElemRecord& r0 = m_index[0];
    // Not flags: whether there is one root is read from the index, so that a root added
    // later by editing makes the document well-formed.
    if (!r0.iChild)
        m_result.Add("no_root_element");
    else if (m_index[r0.iChild].iNext)
        m_result.Add("root_has_sibling");
}

uint32_t CXmlDocument::ParseChildren(uint32_t iParent, uint32_t nFrom)
{
    const char16_t* p = m_strDoc.data();
    const uint32_t nLen = uint32_t(m_strDoc.size());
    const bool bIgnoreCase = (m_nDocFlags & XML_IGNORE_CASE) != 0;
    CXmlTokenizer tok(p, nLen);
    tok.SetOffset(nFrom);
    std::vector<OpenElement> stack; // explicit: deep nesting must not use the call stack
    // Per name, the innermost open element of that name (its place on the stack).
    CXmlNameTable names(p, bIgnoreCase);
    auto popTo = [&](size_t k) {
        for (size_t j = stack.size(); j-- > k;)
            names.Value(stack[j].nName) = stack[j].nBelow;
        stack.resize(k);
    };
    uint32_t iFirst = 0;

    auto markProblem = [&]() {
        m_index[0].nFlags |= XML_ELEM_ILLFORMED;
        m_index[stack.empty() ? iParent : stack.back().iElem].nFlags |= XML_ELEM_PROBLEM;
    };
    auto closeFrom = [&](size_t k, uint32_t iTarget, uint32_t nOffset2) {
        if (k >= stack.size())
            return;
        CloseUnended(stack.data(), k, stack.size(), iTarget, nOffset2);
        popTo(k);
    };

    for (;;) {
        XmlToken t = tok.Next();
        switch (t.nType) {
        case XML_NODE_ELEMENT: {
            uint32_t i = NewRecord();
            XmlElemRecord& r = m_index[i];
            r.nStart = t.nStart;
            r.nLength = t.nLength;
            r.nFlags = 0;
            r.iChild = 0;
            LinkLastChild(stack.empty() ? iParent : stack.back().iElem, i);
            m_index.SetTagLens(i, t.nLength, 0);
            if (!iFirst)
                iFirst = i;
            if (!t.bEmptyTag) {
                uint32_t nName = t.nStart + 1;
                uint32_t nNameLen = tok.NameLength(nName);
                uint32_t id = names.Add(nName, nNameLen);
                stack.push_back(OpenElement{nName, nNameLen, i, id, names.Value(id)});
                names.Value(id) = uint32_t(stack.size() - 1);
            }
            break;
        }
        case XML_NODE_ENDTAG: {
            uint32_t nName = t.nStart + 2;
            uint32_t nNameLen = tok.NameLength(nName);
            // The innermost open element of that name; everything above it is closed unended.
            uint32_t id = names.Find(nName, nNameLen);
            uint32_t top = id == CXmlNameTable::kNone ? CXmlNameTable::kNone : names.Value(id);
            size_t k = top == CXmlNameTable::kNone ? 0 : size_t(top) + 1;
            if (k == 0) {
                m_result.Add("lone_end_tag")
                    .Text("tagname", std::u16string_view(p + nName, nNameLen))
                    .Number("offset", t.nStart);
                markProblem();
                break;
            }
            uint32_t i = stack[k - 1].iElem;
            closeFrom(k, i, t.nStart);
            XmlElemRecord& r = m_index[i];
            r.nLength = t.nStart + t.nLength - r.nStart;
            m_index.SetTagLens(i, m_index.StartTagLen(i), t.nLength);
            popTo(stack.size() - 1);
            break;
        }
        case XML_NODE_ERROR: {
            CXmlResult& e = m_result.Add(t.pszError);
            if (t.pszUnterminated)
                e.Text("type", std::string_view(t.pszUnterminated));
            e.Number("offset", t.nStart);
            markProblem();
            break;
        }
        case XML_NODE_END:
            closeFrom(0, iParent, nLen);
            return iFirst;
        default:
            break;
        }
    }
}

void CXmlDocument::CloseUnended(const OpenElement* stack, size_t nFrom, size_t nTop, uint32_t iTarget, uint32_t nOffset2)
{
    const char16_t* p = m_strDoc.data();
    // Entries and flags innermost first, as each element would be closed in turn.
    for (size_t j = nTop; j-- > nFrom;) {
        uint32_t i = stack[j].iElem;
        XmlElemRecord& r = m_index[i];
        uint32_t nName = r.nStart + 1;
        m_result.Add("unended_start_tag")
            .Text("tagname", std::u16string_view(p + nName, NameLength(nName)))
            .Number("offset", r.nStart)
            .Number("offset2", nOffset2);
        m_index[0].nFlags |= XML_ELEM_ILLFORMED;
        uint32_t st = m_index.StartTagLen(i);
        r.nFlags |= XML_ELEM_UNENDED;
        r.nLength = st;
        m_index.SetTagLens(i, st, 0);
        if (r.nFlags & XML_ELEM_PROBLEM)
            m_index[j > nFrom ? stack[j - 1].iElem : iTarget].nFlags |= XML_ELEM_PROBLEM;
    }
    // Their children move up to iTarget in one go, so every element moves once (closing them
    // one by one would move the same children again at each level).
    uint32_t iTail = stack[nFrom].iElem;
    for (size_t j = nFrom; j < nTop; ++j) {
        XmlElemRecord& e = m_index[stack[j].iElem];
        uint32_t c = e.iChild;
        if (!c)
            continue;
        XmlElemRecord& first = m_index[c];
        iTail = first.iPrev;
        first.nFlags &= ~XML_ELEM_FIRST;
        first.iPrev = stack[j].iElem;
        e.iNext = c;
        e.iChild = 0;
        for (uint32_t x = c; x; x = m_index[x].iNext)
            m_index[x].iParent = iTarget;
    }
    uint32_t iFirstOfTarget = m_index[iTarget].iChild;
    m_index[iFirstOfTarget].iPrev = iTail;
}

uint32_t CXmlDocument::NameLength(uint32_t nPos) const
{
    uint32_t k = nPos;
    const uint32_t n = uint32_t(m_strDoc.size());
    while (k < n && !EndsName(m_strDoc[k]))
        ++k;
    return k - nPos;
}

bool CXmlDocument::NameMatches(uint32_t nPos, std::u16string_view given) const
{
    const bool bIgnoreCase = (m_nDocFlags & XML_IGNORE_CASE) != 0;
    const size_t n = m_strDoc.size();
    for (size_t k = 0;; ++k) {
        bool bTextEnds = nPos + k >= n || EndsName(m_strDoc[nPos + k]);
        if (bTextEnds) {
            if (k == given.size())
                return true;
            char16_t g = given[k];
            return g == ' ' || g == '=' || g == '/' || g == '[' || g == ']';
        }
        if (k == given.size())
            return false;
        char16_t a = m_strDoc[nPos + k], b = given[k];
        if (bIgnoreCase ? Lower(a) != Lower(b) : a != b)
            return false;
    }
}

std::u16string_view CXmlDocument::ElemName(uint32_t i) const
{
    uint32_t n = m_index[i].nStart + 1;
    return std::u16string_view(m_strDoc).substr(n, NameLength(n));
}

// ---------------------------------------------------------------------------------------------
// Navigation

void CXmlDocument::ResetChildPos()
{
    m_iPosChild = 0;
}

void CXmlDocument::ResetPosition()
{
    m_iPosParent = m_iPos = m_iPosChild = 0;
    m_nNodeType = 0;
    m_nNodeOffset = m_nNodeLength = 0;
}

bool CXmlDocument::FindElement(std::u16string_view name)
{
    if (m_index.Empty() || Blocked())
        return false;
    uint32_t i = m_iPos ? m_index[m_iPos].iNext : m_index[m_iPosParent].iChild;
    for (; i; i = m_index[i].iNext) {
        if (ElemMatches(i, name)) {
            m_iPos = i;
            m_iPosChild = 0;
            m_nNodeType = 0;
            return true;
        }
    }
    return false;
}

bool CXmlDocument::FindChild(std::u16string_view name)
{
    if (m_index.Empty() || Blocked())
        return false;
    if (!m_iPos && !FindElement())
        return false;
    uint32_t i = m_iPosChild ? m_index[m_iPosChild].iNext : m_index[m_iPos].iChild;
    for (; i; i = m_index[i].iNext) {
        if (ElemMatches(i, name)) {
            m_iPosChild = i;
            m_iPosParent = m_index[m_iPos].iParent;
            return true;
        }
    }
    return false;
}

bool CXmlDocument::EnterElement()
{
    if (m_index.Empty() || Blocked() || !m_iPos)
        return false;
    m_iPosParent = m_iPos;
    m_iPos = m_iPosChild;
    m_iPosChild = 0;
    m_nNodeType = 0;
    return true;
}

bool CXmlDocument::LeaveElement()
{
    if (m_index.Empty() || Blocked() || !m_iPosParent)
        return false;
    m_iPosChild = m_iPos;
    m_iPos = m_iPosParent;
    m_iPosParent = m_index[m_iPosParent].iParent;
    m_nNodeType = 0;
    return true;
}

bool CXmlDocument::FindNode(int nTypes)
{
    if (m_index.Empty() || Blocked())
        return false;
    const XmlElemRecord& par = m_index[m_iPosParent];
    uint32_t nContentStart = 0, nContentEnd = uint32_t(m_strDoc.size());
    if (m_iPosParent) {
        uint32_t et = m_index.EndTagLen(m_iPosParent);
        nContentStart = par.nStart + m_index.StartTagLen(m_iPosParent);
        nContentEnd = et ? par.nStart + par.nLength - et : nContentStart;
    }
    uint32_t nFrom = nContentStart;
    if (m_nNodeType)
        nFrom = m_nNodeOffset + m_nNodeLength;
    else if (m_iPos)
        nFrom = m_index[m_iPos].nStart + m_index[m_iPos].nLength;
    uint32_t iNextElem = m_iPos ? m_index[m_iPos].iNext : par.iChild;
    uint32_t iPrevElem = m_iPos;
    CXmlTokenizer tok(m_strDoc.data(), nContentEnd);
    tok.SetOffset(nFrom);
    for (;;) {
        XmlToken t = tok.Next();
        if (t.nType == XML_NODE_END)
            return false;
        if (t.nType == XML_NODE_ELEMENT) {
            if (iNextElem && m_index[iNextElem].nStart == t.nStart) {
                if (nTypes == 0 || (nTypes & XML_NODE_ELEMENT)) {
                    m_iPos = iNextElem;
                    m_iPosChild = 0;
                    m_nNodeType = 0;
                    return true;
                }
                iPrevElem = iNextElem;
                tok.SetOffset(t.nStart + m_index[iNextElem].nLength);
                iNextElem = m_index[iNextElem].iNext;
            }
            continue;
        }
        if (t.nType == XML_NODE_ENDTAG || t.nType == XML_NODE_ERROR)
            continue;
        if (nTypes == 0 || (nTypes & t.nType)) {
            m_iPos = iPrevElem;
            m_iPosChild = 0;
            m_nNodeType = t.nType;
            m_nNodeOffset = t.nStart;
            m_nNodeLength = t.nLength;
            return true;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Reading

std::u16string CXmlDocument::ElemText(uint32_t i) const
{
    if (!i || m_index.Empty())
        return {};
    const XmlElemRecord& r = m_index[i];
    uint32_t et = m_index.EndTagLen(i);
    if (r.iChild || !et)
        return {};
    uint32_t nFrom = r.nStart + m_index.StartTagLen(i);
    uint32_t nTo = r.nStart + r.nLength - et;
    std::u16string out;
    CXmlTokenizer tok(m_strDoc.data(), nTo);
    tok.SetOffset(nFrom);
    std::u16string_view doc(m_strDoc);
    for (;;) {
        XmlToken t = tok.Next();
        if (t.nType == XML_NODE_END)
            break;
        if (t.nType == XML_NODE_TEXT)
            out += XmlText::DecodeReferences(doc.substr(t.nStart, t.nLength));
        else if (t.nType == XML_NODE_CDATA && t.nLength >= 12)
            out.append(doc.substr(t.nStart + 9, t.nLength - 12));
    }
    return out;
}

std::u16string CXmlDocument::NodeText() const
{
    std::u16string_view node = std::u16string_view(m_strDoc).substr(m_nNodeOffset, m_nNodeLength);
    auto inner = [&](size_t nOpen, size_t nClose) {
        return node.size() >= nOpen + nClose ? std::u16string(node.substr(nOpen, node.size() - nOpen - nClose))
                                             : std::u16string();
    };
    switch (m_nNodeType) {
    case XML_NODE_TEXT:
    case XML_NODE_WHITESPACE:
        return XmlText::DecodeReferences(node);
    case XML_NODE_CDATA: return inner(9, 3);
    case XML_NODE_COMMENT: return inner(4, 3);
    case XML_NODE_PI: return inner(2, 2);
    default: return std::u16string(node);
    }
}

std::u16string CXmlDocument::GetText() const
{
    if (Blocked())
        return {};
    if (m_nNodeType)
        return NodeText();
    return ElemText(m_iPos);
}

std::u16string CXmlDocument::GetChildText() const
{
    if (Blocked())
        return {};
    return ElemText(m_iPosChild);
}

std::u16string CXmlDocument::GetTagName() const
{
    return m_iPos && !m_nNodeType ? std::u16string(ElemName(m_iPos)) : std::u16string();
}

std::u16string CXmlDocument::GetChildTagName() const
{
    return m_iPosChild ? std::u16string(ElemName(m_iPosChild)) : std::u16string();
}

CXmlDocument::AttrSpan CXmlDocument::FindAttribute(uint32_t i, std::u16string_view name) const
{
    AttrSpan s;
    const XmlElemRecord& r = m_index[i];
    const char16_t* p = m_strDoc.data();
    uint32_t nPos = r.nStart + 1 + NameLength(r.nStart + 1);
    const uint32_t nEnd = r.nStart + m_index.StartTagLen(i) - 1; // the ">"
    s.nInsertAt = nPos;
    while (nPos < nEnd) {
        while (nPos < nEnd && IsSpace(p[nPos]))
            ++nPos;
        if (nPos >= nEnd)
            break;
        uint32_t nName = nPos;
        while (nPos < nEnd && !EndsName(p[nPos]))
            ++nPos;
        if (nPos == nName) {
            ++nPos; // a stray character such as the slash of "/>"
            continue;
        }
        AttrSpan a;
        a.nNameStart = nName;
        a.nNameLen = nPos - nName;
        a.nReplStart = nPos;
        uint32_t q = nPos;
        while (q < nEnd && IsSpace(p[q]))
            ++q;
        if (q < nEnd && p[q] == '=') {
            ++q;
            while (q < nEnd && IsSpace(p[q]))
                ++q;
            a.bHasValue = true;
            if (q < nEnd && (p[q] == '"' || p[q] == '\'')) {
                char16_t quote = p[q];
                uint32_t c = q + 1;
                while (c < nEnd && p[c] != quote)
                    ++c;
                a.nValueStart = q + 1;
                a.nValueLen = c - q - 1;
                a.nReplStart = q;
                nPos = c < nEnd ? c + 1 : nEnd;
            } else {
                uint32_t c = q;
                while (c < nEnd && !IsSpace(p[c]))
                    ++c;
                a.nValueStart = q;
                a.nValueLen = c - q;
                a.nReplStart = q;
                nPos = c;
            }
            a.nReplLen = nPos - a.nReplStart;
        }
        s.nInsertAt = nPos;
        if (!s.bFound && NameMatches(nName, name)) {
            uint32_t nInsert = s.nInsertAt;
            s = a;
            s.bFound = true;
            s.nInsertAt = nInsert;
        }
    }
    return s;
}

std::u16string CXmlDocument::GetAttribute(std::u16string_view name) const
{
    if (!m_iPos || m_nNodeType || Blocked() || name.empty())
        return {};
    AttrSpan s = FindAttribute(m_iPos, name);
    return s.bFound ? XmlText::DecodeReferences(std::u16string_view(m_strDoc).substr(s.nValueStart, s.nValueLen))
                    : std::u16string();
}

std::u16string CXmlDocument::GetChildAttribute(std::u16string_view name) const
{
    if (!m_iPosChild || Blocked() || name.empty())
        return {};
    AttrSpan s = FindAttribute(m_iPosChild, name);
    return s.bFound ? XmlText::DecodeReferences(std::u16string_view(m_strDoc).substr(s.nValueStart, s.nValueLen))
                    : std::u16string();
}

// ---------------------------------------------------------------------------------------------
// Encodings and references

int CXmlDocument::GetCodePage(std::string_view name) { return XmlEncoding::GetCodePage(name); }

bool CXmlDocument::ConvertText(std::string_view from, std::string_view to, std::string_view in, std::string& out,
                               bool* pbLoss)
{
    return XmlEncoding::ConvertText(from, to, in, out, pbLoss);
}

std::u16string CXmlDocument::DecodeReferences(const char16_t* p, long nLen)
{
    return XmlText::DecodeReferences(p, nLen);
}

void CXmlDocument::SetAnsiCodePage(int nCodePage) { XmlEncoding::SetAnsiCodePage(nCodePage); }
int CXmlDocument::GetAnsiCodePage() { return XmlEncoding::AnsiCodePage(); }
