#include "XmlDocument.h"
#include "XmlTestUtil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <random>
#include <vector>

TEST(XmlParsing, ResultEntriesAndVerdicts)
{
    struct Case
    {
        const char16_t* doc;
        bool wellFormed;
        const char* result;
    };
    const Case cases[] = {
        {u"", false, ""},
        {u"<a/>", true, ""},
        {u"<a><b></a>", false, "<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"6\"/>"},
        {u"<a></b></a>", false, "<lone_end_tag tagname=\"b\" offset=\"3\"/>"},
        {u"<a x=\"1>2\" y='>'>t>u</a>", true, ""},
        {u"<a/><b/>", false, "<root_has_sibling/>"},
        {u"<a><!-x--></a>", false, "<comment_tag_syntax offset=\"3\"/>"},
        {u"<a><!-- open", false,
         "<unterminated_tag_syntax type=\"comment\" offset=\"3\"/>"
         "<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"12\"/>"},
        {u"text only", false, "<no_root_element/>"},
        {u"<?xml version=\"1.0\"?>\r\n", false, "<no_root_element/>"},
        {u"<a><1/></a>", false, "<first_tag_syntax offset=\"3\"/>"},
        {u"<a>< b></a>", false, "<first_tag_syntax offset=\"3\"/>"},
        {u"<a><=x></a>", false, "<first_tag_syntax offset=\"3\"/>"},
        {u"<a><![X[y]]></a>", false, "<cdata_section_syntax offset=\"3\"/>"},
        {u"<a><![CDATA[<b>]]></a>", true, ""},
        {u"<a><![Cxxxxx[y]]></a>", true, ""}, // only the C of the keyword is looked at
        {u"<a><!x></a>", false, "<exclamation_tag_syntax offset=\"3\"/>"},
        {u"<!DOCTYPE a [<!ELEMENT a (#PCDATA)><!ATTLIST a x CDATA \"v>\"><!NOTATION n SYSTEM 'x'>]><a/>", true, ""},
        {u"<!DOCTYPE a [<!FOO>]><a/>", false, "<doctype_tag_syntax offset=\"0\"/>"},
        {u"<!DOCTYPE a SYSTEM \"a>b\"><a/>", true, ""},
        {u"<a", false, "<unterminated_tag_syntax type=\"start_tag\" offset=\"0\"/><no_root_element/>"},
        {u"<a x=\"1", false, "<unterminated_tag_syntax type=\"start_tag\" offset=\"0\"/><no_root_element/>"},
        {u"<a></a", false,
         "<unterminated_tag_syntax type=\"end_tag\" offset=\"3\"/>"
         "<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"6\"/>"},
        {u"<a><?pi", false,
         "<unterminated_tag_syntax type=\"processing_instruction\" offset=\"3\"/>"
         "<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"7\"/>"},
        {u"<a><![CDATA[x", false,
         "<unterminated_tag_syntax type=\"cdata_section\" offset=\"3\"/>"
         "<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"13\"/>"},
        {u"<!DOCTYPE a", false,
         "<unterminated_tag_syntax type=\"document_type\" offset=\"0\"/><no_root_element/>"},
        {u"<a>x<", false,
         "<unterminated_tag_syntax type=\"tag\" offset=\"4\"/>"
         "<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"5\"/>"},
        {u"<a><b><c></a>", false,
         "<unended_start_tag tagname=\"c\" offset=\"6\" offset2=\"9\"/>"
         "<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"9\"/>"},
        {u"<a><b x=\"/>\"/></a>", true, ""},
        {u"<a><b x=\"1\"/></a>", true, ""},
        {u"<a><b x=y/></a>", false, "<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"11\"/>"},
        {u"<a><b x /></a>", true, ""},
        {u"<a></a><!-- c --> <?pi?>\r\n", true, ""},
        {u"<a>&undefined;</a>", true, ""},
        {u"<a><b></b></a></a>", false, "<lone_end_tag tagname=\"a\" offset=\"14\"/>"},
        {u"<a><b></c></a>", false,
         "<lone_end_tag tagname=\"c\" offset=\"6\"/>"
         "<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"10\"/>"},
        {u"<a></a >", true, ""},
        {u"<a></>", false,
         "<lone_end_tag tagname=\"\" offset=\"3\"/><unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"6\"/>"},
        {u"<\u4e2d>\u6587</\u4e2d>", true, ""},
        {u"<a <b>", false, "<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"6\"/>"},
        {u"<a:b _c=\"\"></a:b>", true, ""},
        {u"<a></A>", false,
         "<lone_end_tag tagname=\"A\" offset=\"3\"/><unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"7\"/>"},
    };
    for (const Case& c : cases) {
        CXmlDocument d;
        EXPECT_EQ(d.SetDocText(c.doc), c.wellFormed) << U8(c.doc);
        EXPECT_EQ(U8(d.GetResult()), c.result) << U8(c.doc);
        EXPECT_EQ(d.IsWellFormed(), c.wellFormed);
    }
}

TEST(XmlParsing, UnendedElementsGiveTheirChildrenToTheirParent)
{
    CXmlDocument d;
    ASSERT_FALSE(d.SetDocText(u"<a><b><c/><d>t</d><e><f/></a>"));
    // b and e are unended: a's children become b, c, d, e, f in order.
    ASSERT_TRUE(d.FindElement(u"a"));
    std::vector<std::string> names;
    while (d.FindChild())
        names.push_back(U8(d.GetChildTagName()));
    EXPECT_EQ(names, (std::vector<std::string>{"b", "c", "d", "e", "f"}));
    d.ResetPosition();
    d.FindChild(u"b");
    const XmlElemRecord& b = d.Record(d.GetChildIndex());
    EXPECT_TRUE(b.nFlags & XML_ELEM_UNENDED);
    EXPECT_EQ(b.nLength, 3u);
    EXPECT_EQ(b.iChild, 0u);
    EXPECT_EQ(d.EndTagLength(d.GetChildIndex()), 0u);
    // The last-child link of the first child names the new last child.
    const XmlElemRecord& first = d.Record(d.Record(d.GetCurrentIndex()).iChild);
    d.FindChild(u"f");
    EXPECT_EQ(first.iPrev, d.GetChildIndex());
    EXPECT_TRUE(first.nFlags & XML_ELEM_FIRST);
}

TEST(XmlParsing, ProblemFlagsMarkEnclosingElement)
{
    CXmlDocument d;
    ASSERT_FALSE(d.SetDocText(u"<r><ok/><bad><1></bad><inner><x></inner></r>"));
    EXPECT_TRUE(d.Record(0).nFlags & XML_ELEM_ILLFORMED);
    ASSERT_TRUE(d.FindChild(u"ok"));
    EXPECT_FALSE(d.Record(d.GetChildIndex()).nFlags & XML_ELEM_PROBLEM);
    ASSERT_TRUE(d.FindChild(u"bad"));
    EXPECT_TRUE(d.Record(d.GetChildIndex()).nFlags & XML_ELEM_PROBLEM);
    ASSERT_TRUE(d.FindChild(u"inner"));
    EXPECT_FALSE(d.Record(d.GetChildIndex()).nFlags & XML_ELEM_UNENDED);
    EXPECT_FALSE(d.Record(d.GetCurrentIndex()).nFlags & XML_ELEM_PROBLEM);
    // A problem inside an element that is then closed as unended passes to its parent.
    CXmlDocument e;
    ASSERT_FALSE(e.SetDocText(u"<r><u><1></r>"));
    ASSERT_TRUE(e.FindElement());
    EXPECT_TRUE(e.Record(e.GetCurrentIndex()).nFlags & XML_ELEM_PROBLEM);
}

TEST(XmlParsing, DeepNestingNeedsNoCallStack)
{
    const size_t n = 300000;
    std::u16string open, close;
    for (size_t i = 0; i < n; ++i)
        open += u"<a>";
    for (size_t i = 0; i < n; ++i)
        close += u"</a>";
    CXmlDocument d;
    EXPECT_TRUE(d.SetDocText(open + close));
    EXPECT_EQ(d.ElementCount(), n + 1);
    // All unended: every element ends up a child of the document, entries stay capped.
    EXPECT_FALSE(d.SetDocText(open));
    EXPECT_LE(d.GetResult().size(), 999u + 80u);
    size_t nTop = 0;
    while (d.FindElement())
        ++nTop;
    EXPECT_EQ(nTop, n);
}

TEST(XmlParsing, StrayEndTagsUnderDeepNestingStayLinear)
{
    // Many unmatched end tags below a deep stack: each must not search the whole stack.
    std::u16string s;
    for (int i = 0; i < 100000; ++i)
        s += u"<a>";
    for (int i = 0; i < 100000; ++i)
        s += u"</zz>";
    for (int i = 0; i < 100000; ++i)
        s += u"<b></a>";
    CXmlDocument d;
    EXPECT_FALSE(d.SetDocText(s));
    EXPECT_TRUE(d.GetResult().find(u"lone_end_tag") != std::u16string::npos);
}

TEST(XmlParsing, ResultTextIsCapped)
{
    std::u16string s = u"<r>";
    for (int i = 0; i < 1000; ++i)
        s += u"<1>";
    s += u"</r>";
    CXmlDocument d;
    EXPECT_FALSE(d.SetDocText(s));
    const std::u16string& r = d.GetResult();
    EXPECT_GT(r.size(), 999u);
    EXPECT_LT(r.size(), 999u + 40u);
    // The last entry is complete, as the log is itself a document.
    CXmlDocument log;
    log.SetDocText(r);
    EXPECT_TRUE(log.GetResult().find(u"root_has_sibling") != std::u16string::npos);
    EXPECT_TRUE(r.find(u"unterminated") == std::u16string::npos);
}

TEST(XmlParsing, IndexSizing)
{
    std::u16string s = u"<r>";
    for (int i = 0; i < 200000; ++i)
        s += u"<e/>";
    s += u"</r>";
    CXmlDocument d;
    ASSERT_TRUE(d.SetDocText(s));
    EXPECT_EQ(d.ElementCount(), 200002u);
    // 32 bytes a record; capacity starts at length/64+8 and grows by half.
    EXPECT_GE(d.IndexBytes(), 200002u * 32u);
    EXPECT_LE(d.IndexBytes(), size_t(200002 * 1.5 + 1) * 32u);
    // Elements across page boundaries read back correctly.
    ASSERT_TRUE(d.FindElement());
    int n = 0;
    while (d.FindChild(u"e"))
        ++n;
    EXPECT_EQ(n, 200000);
}

TEST(XmlParsing, LongTagsKeepTheirLengths)
{
    // An end tag longer than 1023 characters and a start tag beyond 4M characters do not fit
    // the record's bit fields; their lengths must survive all the same.
    const std::u16string longEnd = u"</b" + std::u16string(2000, u' ') + u">";
    const std::u16string bigValue(5u << 20, u'v');
    const std::u16string doc = u"<a><b>text" + longEnd + u"<c x=\"" + bigValue + u"\">y</c></a>";
    CXmlDocument d;
    ASSERT_TRUE(d.SetDocText(doc)) << U8(d.GetResult());
    ASSERT_TRUE(d.FindChild(u"b"));
    EXPECT_EQ(d.EndTagLength(d.GetChildIndex()), longEnd.size());
    EXPECT_EQ(U8(d.GetChildText()), "text");
    ASSERT_TRUE(d.SetTextAt(CXmlDocument::XML_POS_CHILD, u"new"));
    ASSERT_TRUE(d.FindChild(u"c"));
    EXPECT_EQ(d.StartTagLength(d.GetChildIndex()), bigValue.size() + 8);
    EXPECT_EQ(U8(d.GetChildText()), "y");
    EXPECT_EQ(d.GetChildAttribute(u"x").size(), bigValue.size());
    ASSERT_TRUE(d.SetAttributeAt(CXmlDocument::XML_POS_CHILD, u"z", u"1"));
    ASSERT_TRUE(d.SetTextAt(CXmlDocument::XML_POS_CHILD, u"w"));
    EXPECT_EQ(d.GetDocText(), u"<a><b>new" + longEnd + u"<c x=\"" + bigValue + u"\" z=\"1\">w</c></a>");
}

namespace
{
// The straightforward reading of the end-tag rule, to check the engine against: an end tag closes
// the innermost open element of its name (searched down the stack), every element above it is
// unended; an end tag with no open element of its name is a stray. An element's parent is then its
// nearest enclosing element that ended properly (or the document), its length the start tag's
// when unended, else up to and including its end tag.
struct RefElement
{
    std::u16string name;
    uint32_t nStart = 0, nStartTag = 0, nLength = 0, iParent = 0;
    bool bUnended = false;
};

std::u16string Fold(std::u16string s, bool bIgnoreCase)
{
    if (bIgnoreCase)
        for (char16_t& c : s)
            c = (c >= 'A' && c <= 'Z') ? char16_t(c + 32) : c;
    return s;
}

std::string ReferenceParse(const std::vector<std::pair<std::u16string, int>>& tags, std::u16string& doc,
                           std::vector<RefElement>& elems, bool bIgnoreCase)
{
    std::string result;
    std::vector<uint32_t> stack;       // element numbers, 1-based
    std::vector<uint32_t> openParent;  // parent in the nesting as written
    elems.assign(1, RefElement{});
    openParent.assign(1, 0);
    auto entry = [&](const std::string& s) { result += s; };
    auto closeUnended = [&](size_t from, uint32_t nOffset2) {
        for (size_t j = stack.size(); j-- > from;) {
            RefElement& e = elems[stack[j]];
            e.bUnended = true;
            e.nLength = e.nStartTag;
            entry("<unended_start_tag tagname=\"" + U8(e.name) + "\" offset=\"" + std::to_string(e.nStart) +
                  "\" offset2=\"" + std::to_string(nOffset2) + "\"/>");
        }
        stack.resize(from);
    };
    for (const auto& [name, kind] : tags) {
        const uint32_t at = uint32_t(doc.size());
        if (kind == 2) { // end tag
            doc += u"</" + name + u">";
            size_t k = stack.size();
            while (k > 0 && Fold(elems[stack[k - 1]].name, bIgnoreCase) != Fold(name, bIgnoreCase))
                --k;
            if (k == 0) {
                entry("<lone_end_tag tagname=\"" + U8(name) + "\" offset=\"" + std::to_string(at) + "\"/>");
            } else {
                closeUnended(k, at);
                RefElement& e = elems[stack.back()];
                e.nLength = uint32_t(doc.size()) - e.nStart;
                stack.pop_back();
            }
        } else {
            doc += u"<" + name + (kind == 1 ? u"/>" : u">");
            RefElement e;
            e.name = name;
            e.nStart = at;
            e.nStartTag = e.nLength = uint32_t(doc.size()) - at;
            elems.push_back(e);
            openParent.push_back(stack.empty() ? 0 : stack.back());
            if (kind == 0)
                stack.push_back(uint32_t(elems.size() - 1));
        }
        doc += u"t";
    }
    closeUnended(0, uint32_t(doc.size()));
    for (size_t i = 1; i < elems.size(); ++i) {
        uint32_t p = openParent[i];
        while (p && elems[p].bUnended)
            p = openParent[p];
        elems[i].iParent = p;
    }
    return result;
}
} // namespace

TEST(XmlParsing, EndTagsCloseTheInnermostElementOfTheirNameWhateverTheNames)
{
    // Random runs of start, empty and end tags over a few names that differ in case and length,
    // checked against the plain stack search: same entries in the same order, same elements
    // closed, unended and moved.
    const std::u16string names[] = {u"a", u"A", u"b", u"ab", u"aB", u"c"};
    std::mt19937 rng(7);
    for (int round = 0; round < 400; ++round) {
        const bool bIgnoreCase = round % 2 == 1;
        std::vector<std::pair<std::u16string, int>> tags;
        const int n = 1 + int(rng() % 14);
        for (int i = 0; i < n; ++i)
            tags.emplace_back(names[rng() % 6], int(rng() % 5 < 2 ? 2 : rng() % 4 == 0 ? 1 : 0));
        std::u16string doc;
        std::vector<RefElement> want;
        std::string wantResult = ReferenceParse(tags, doc, want, bIgnoreCase);
        CXmlDocument d;
        d.SetDocFlags(bIgnoreCase ? CXmlDocument::XML_IGNORE_CASE : 0);
        d.SetDocText(doc);
        std::string got = U8(d.GetResult());
        for (const char* tail : {"<no_root_element/>", "<root_has_sibling/>"})
            if (got.size() >= std::strlen(tail) && got.compare(got.size() - std::strlen(tail), std::string::npos, tail) == 0)
                got.resize(got.size() - std::strlen(tail));
        ASSERT_EQ(got, wantResult) << U8(doc) << (bIgnoreCase ? " (ignoring case)" : "");
        ASSERT_EQ(d.ElementCount(), want.size()) << U8(doc);
        for (uint32_t i = 1; i < want.size(); ++i) {
            const XmlElemRecord& r = d.Record(i);
            EXPECT_EQ(r.nStart, want[i].nStart) << U8(doc) << " element " << i;
            EXPECT_EQ(r.nLength, want[i].nLength) << U8(doc) << " element " << i;
            EXPECT_EQ(r.iParent, want[i].iParent) << U8(doc) << " element " << i;
            EXPECT_EQ((r.nFlags & XML_ELEM_UNENDED) != 0, want[i].bUnended) << U8(doc) << " element " << i;
        }
    }
}

TEST(XmlParsing, StrayEndTagsUnderManyDistinctOpenNames)
{
    // The shape that made end tags quadratic: every end tag names no open element, while many
    // different names are open. Results stay as the rule says: all strays, then every element
    // unended, innermost first.
    const int n = 20000;
    std::u16string s;
    for (int i = 0; i < n; ++i)
        s += u"<n" + U16(std::to_string(i)) + u">";
    for (int i = 0; i < n; ++i)
        s += u"</m" + U16(std::to_string(i)) + u">";
    s += u"</n0>";
    CXmlDocument d;
    EXPECT_FALSE(d.SetDocText(s));
    const std::string r = U8(d.GetResult());
    EXPECT_EQ(r.rfind("<lone_end_tag tagname=\"m0\" offset=\"", 0), 0u) << r.substr(0, 80);
    // n0 closes normally; n1 .. n19999 are unended, so all of them hang under n0 in order.
    const XmlElemRecord& root = d.Record(1);
    EXPECT_EQ(root.nFlags & XML_ELEM_UNENDED, 0u);
    EXPECT_EQ(root.nLength, s.size());
    uint32_t count = 0;
    for (uint32_t c = root.iChild; c; c = d.Record(c).iNext) {
        EXPECT_EQ(d.Record(c).iParent, 1u);
        ++count;
    }
    EXPECT_EQ(count, uint32_t(n - 1));
}
