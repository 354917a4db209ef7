// CXmlDocument: a whole XML document held as one UTF-16 text plus an index of its elements.
// A cursor of three positions (parent, current, child) moves over the index; edits change the
// text in place and keep the index in step, so writing the document out is writing the text.
#pragma once

#include "XmlElementIndex.h"
#include "XmlResult.h"
#include "XmlTokenizer.h"

#include <cstdint>
#include <string>
#include <string_view>

class CXmlDocument
{
public:
    // AddElement / SetTextAt flags.
    enum : int
    {
        XML_ADD_CDATA = 0x1,     // text written as a CDATA section
        XML_ADD_NO_BREAK = 0x2,  // no "\r\n" after the new element
        XML_ADD_SPACE = 0x4,     // empty element written "<name />"
        XML_ADD_REFS = 0x8,      // an "&" starting a well-formed reference is kept as written
        XML_ADD_NO_END = 0x10,   // start tag alone, no end tag
        XML_ADD_CHILD = 0x4000,  // add under the current element
    };
    // Document flags.
    enum : int
    {
        XML_FILE_UTF16LE = 0x1,
        XML_FILE_UTF8_BOM = 0x4,
        XML_IGNORE_CASE = 0x8,
        XML_READ_STREAM = 0x10,  // streaming modes: navigation and editing refused
        XML_WRITE_STREAM = 0x20,
        XML_FILE_UTF16BE = 0x80,
        XML_FILE_FLAGS = XML_FILE_UTF16LE | XML_FILE_UTF8_BOM | XML_FILE_UTF16BE,
    };
    enum XmlPos : int
    {
        XML_POS_CURRENT = 1,
        XML_POS_CHILD = 2,
    };

    CXmlDocument() = default;
    CXmlDocument(const CXmlDocument&) = delete;
    CXmlDocument& operator=(const CXmlDocument&) = delete;

    // Replaces the text and parses it; returns whether the document is well-formed.
    // A null text empties the document and frees the index.
    bool SetDocText(const char16_t* pszText);
    bool SetDocText(std::u16string_view text);
    const std::u16string& GetDocText() const { return m_strDoc; }

    bool LoadFile(const std::string& strPath);
    bool SaveFile(const std::string& strPath);

    const std::u16string& GetResult() const { return m_result.Str(); }
    int GetDocFlags() const { return m_nDocFlags; }
    void SetDocFlags(int nFlags) { m_nDocFlags = nFlags; }
    bool IsWellFormed() const;

    // Navigation.
    void ResetPosition();
    void ResetChildPos(); // the next FindChild starts again from the first child
    bool FindElement(std::u16string_view name = {});
    bool FindChild(std::u16string_view name = {});
    bool EnterElement();
    bool LeaveElement();
    // Moves to the next node of the given types (XmlNodeType bits, 0 for any) after the current
    // element or node under the same parent.
    bool FindNode(int nTypes = 0);
    int GetNodeType() const { return m_nNodeType ? m_nNodeType : (m_iPos ? XML_NODE_ELEMENT : XML_NODE_NONE); }

    // Reading.
    std::u16string GetText() const;
    std::u16string GetChildText() const;
    std::u16string GetAttribute(std::u16string_view name) const;
    std::u16string GetChildAttribute(std::u16string_view name) const;
    std::u16string GetTagName() const;
    std::u16string GetChildTagName() const;

    // Editing.
    bool SetAttributeAt(XmlPos pos, std::u16string_view name, std::u16string_view value);
    bool SetAttributeAt(XmlPos pos, std::u16string_view name, int nValue);
    bool SetTextAt(XmlPos pos, std::u16string_view text, int nFlags = 0);
    bool AddElement(std::u16string_view name, std::u16string_view text = {}, int nFlags = 0);
    bool RemoveCurrent();
    bool RemoveChild();

    // Positions as element indexes (0 = none), for callers that keep their place.
    uint32_t GetParentIndex() const { return m_iPosParent; }
    uint32_t GetCurrentIndex() const { return m_iPos; }
    uint32_t GetChildIndex() const { return m_iPosChild; }
    const XmlElemRecord& Record(uint32_t i) const { return m_index[i]; }
    uint32_t StartTagLength(uint32_t i) const { return m_index.StartTagLen(i); }
    uint32_t EndTagLength(uint32_t i) const { return m_index.EndTagLen(i); }
    uint32_t ElementCount() const { return m_iNextFree; }
    size_t IndexBytes() const { return size_t(m_index.Capacity()) * sizeof(XmlElemRecord); }

    // Encodings and references, shared with the file layer.
    static int GetCodePage(std::string_view name);
    static bool ConvertText(std::string_view from, std::string_view to, std::string_view in, std::string& out,
                            bool* pbLoss = nullptr);
    static std::u16string DecodeReferences(const char16_t* p, long nLen);
    // The system ANSI code page (the locale's unless set; 0 goes back to the locale's).
    static void SetAnsiCodePage(int nCodePage);
    static int GetAnsiCodePage();
    // The encoding the text declares (xml declaration or HTML meta), empty when none.
    static std::u16string DeclaredEncoding(std::u16string_view text);

private:
    struct AttrSpan
    {
        uint32_t nNameStart = 0, nNameLen = 0;
        uint32_t nValueStart = 0, nValueLen = 0; // value without its quotes
        uint32_t nReplStart = 0, nReplLen = 0;   // what a new value replaces (quoted value or from "=")
        bool bHasValue = false;
        bool bFound = false;
        uint32_t nInsertAt = 0; // behind the last attribute
    };

    struct OpenElement
    {
        uint32_t nNameStart;
        uint32_t nNameLen;
        uint32_t iElem;
        uint32_t nName;  // the name's id in the parse's name table
        uint32_t nBelow; // the next open element down the stack with the same name, or none
    };
    bool Blocked() const { return (m_nDocFlags & (XML_READ_STREAM | XML_WRITE_STREAM)) != 0; }
    bool Parse();
    uint32_t ParseChildren(uint32_t iParent, uint32_t nFrom);
    void CloseUnended(const OpenElement* stack, size_t nFrom, size_t nTop, uint32_t iTarget, uint32_t nOffset2);
    uint32_t NewRecord();
    void LinkLastChild(uint32_t iParent, uint32_t i);
    bool NameMatches(uint32_t nPos, std::u16string_view given) const;
    bool ElemMatches(uint32_t i, std::u16string_view given) const
    {
        return given.empty() || NameMatches(m_index[i].nStart + 1, given);
    }
    uint32_t PosIndex(XmlPos pos) const { return pos == XML_POS_CHILD ? m_iPosChild : m_iPos; }
    uint32_t NameLength(uint32_t nPos) const;
    std::u16string_view ElemName(uint32_t i) const;
    std::u16string ElemText(uint32_t i) const;
    std::u16string NodeText() const;
    AttrSpan FindAttribute(uint32_t i, std::u16string_view name) const;
    uint32_t SkipSpaceToTag(uint32_t n) const;
    // Replaces [nPos, nPos+nRemove) and moves every record behind it; iEnclosing and its
    // ancestors grow by the difference.
    void Replace(uint32_t nPos, uint32_t nRemove, std::u16string_view ins, uint32_t iEnclosing);
    void AddResultEntriesForDocument();

    std::u16string m_strDoc;
    CXmlResult m_result;
    CXmlElementIndex m_index;
    uint32_t m_iNextFree = 0;
    uint32_t m_iPosParent = 0;
    uint32_t m_iPos = 0;
    uint32_t m_iPosChild = 0;
    int m_nDocFlags = 0;
    int m_nNodeType = 0;
    uint32_t m_nNodeOffset = 0;
    uint32_t m_nNodeLength = 0;
};
