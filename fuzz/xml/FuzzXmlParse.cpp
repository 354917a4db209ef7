// Parse, navigate and edit arbitrary input; the index must stay consistent with the text, and
// file-style decoding of the same bytes must not fail unsafely.
#include "XmlDocument.h"
#include "XmlEncoding.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace
{
void CheckTree(const CXmlDocument& d, uint32_t i, uint32_t nEnd, int& nBudget, int nDepth = 0)
{
    if (nDepth > 500)
        return;
    for (uint32_t c = d.Record(i).iChild; c && nBudget > 0; c = d.Record(c).iNext, --nBudget) {
        const XmlElemRecord& r = d.Record(c);
        if (r.iParent != i || uint64_t(r.nStart) + r.nLength > nEnd || d.GetDocText()[r.nStart] != u'<')
            std::abort();
        CheckTree(d, c, nEnd, nBudget, nDepth + 1);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    std::u16string text;
    XmlEncoding::Utf8ToUtf16(bytes, text);
    CXmlDocument d;
    if (size && (data[0] & 1))
        d.SetDocFlags(CXmlDocument::XML_IGNORE_CASE);
    d.SetDocText(text);
    int nBudget = 20000;
    CheckTree(d, 0, uint32_t(text.size()), nBudget);

    // Walk and edit: every operation must keep the text and index in step.
    int nSteps = 0;
    while (d.FindChild() && nSteps++ < 50) {
        d.GetChildText();
        d.GetChildAttribute(u"x");
        d.SetAttributeAt(CXmlDocument::XML_POS_CHILD, u"k", nSteps);
        if (nSteps % 3 == 0)
            d.SetTextAt(CXmlDocument::XML_POS_CHILD, u"a]]>b<", nSteps % 2);
        if (nSteps % 5 == 0)
            d.RemoveChild();
        if (nSteps % 7 == 0)
            d.AddElement(u"n", u"t&x", CXmlDocument::XML_ADD_CHILD | (nSteps & 0xF));
    }
    while (d.FindNode() && nSteps++ < 100)
        d.GetText();
    CXmlDocument again;
    again.SetDocText(d.GetDocText());
    nBudget = 20000;
    CheckTree(d, 0, uint32_t(d.GetDocText().size()), nBudget);

    CXmlDocument::DeclaredEncoding(text.substr(0, 1024));
    std::string out;
    CXmlDocument::ConvertText("windows-1252", "UTF-16", bytes.substr(0, 4096), out);
    return 0;
}
