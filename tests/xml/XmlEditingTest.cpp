#include "XmlDocument.h"
#include "XmlTestUtil.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
using Doc = CXmlDocument;
constexpr auto CUR = CXmlDocument::XML_POS_CURRENT;
constexpr auto CHILD = CXmlDocument::XML_POS_CHILD;

// After every edit the index must describe the text exactly: reparsing the edited text gives
// the same elements at the same offsets.
void ExpectIndexMatchesText(const CXmlDocument& d)
{
    CXmlDocument fresh;
    fresh.SetDocText(d.GetDocText());
    std::vector<std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>> a, b;
    std::function<void(const CXmlDocument&, uint32_t, decltype(a)&)> walk = [&](const CXmlDocument& x, uint32_t i,
                                                                                decltype(a)& out) {
        for (uint32_t c = x.Record(i).iChild; c; c = x.Record(c).iNext) {
            out.emplace_back(x.Record(c).nStart, x.Record(c).nLength, x.StartTagLength(c), x.EndTagLength(c));
            walk(x, c, out);
        }
    };
    walk(d, 0, a);
    walk(fresh, 0, b);
    EXPECT_EQ(a, b) << U8(d.GetDocText());
    EXPECT_EQ(d.Record(0).nLength, d.GetDocText().size());
}

struct EditCase
{
    const char* what;
    const char16_t* before;
    std::function<bool(Doc&)> edit;
    const char16_t* after;
};
} // namespace

TEST(XmlEditing, EditsGiveExactText)
{
    const EditCase cases[] = {
        {"child into empty-element tag", u"<a/>",
         [](Doc& d) { return d.FindElement() && d.AddElement(u"b", {}, Doc::XML_ADD_CHILD); },
         u"<a>\r\n<b/>\r\n</a>"},
        {"child into empty-element tag, no break", u"<a/>",
         [](Doc& d) { return d.FindElement() && d.AddElement(u"b", u"t", Doc::XML_ADD_CHILD | Doc::XML_ADD_NO_BREAK); },
         u"<a><b>t</b></a>"},
        {"sibling after current goes past the line break", u"<r>\r\n<a/>\r\n<c/>\r\n</r>",
         [](Doc& d) { return d.FindChild(u"a") && d.EnterElement() && d.AddElement(u"b", u"x"); },
         u"<r>\r\n<a/>\r\n<b>x</b>\r\n<c/>\r\n</r>"},
        {"sibling with no current goes after the last", u"<r>\r\n<a/>\r\n</r>",
         [](Doc& d) { return d.FindElement() && d.EnterElement() && d.AddElement(u"z"); },
         u"<r>\r\n<a/>\r\n<z/>\r\n</r>"},
        {"child after child position", u"<r><a/><c/></r>",
         [](Doc& d) { return d.FindChild(u"a") && d.AddElement(u"b", {}, Doc::XML_ADD_CHILD | Doc::XML_ADD_NO_BREAK); },
         u"<r><a/><b/><c/></r>"},
        {"child into element with only white space", u"<r>\r\n</r>",
         [](Doc& d) { return d.FindElement() && d.AddElement(u"b", {}, Doc::XML_ADD_CHILD); },
         u"<r>\r\n<b/>\r\n</r>"},
        {"root into a document with only a declaration", u"<?xml version=\"1.0\"?>\r\n",
         [](Doc& d) { return d.AddElement(u"root"); }, u"<?xml version=\"1.0\"?>\r\n<root/>\r\n"},
        {"blank before slash", u"<r/>",
         [](Doc& d) { return d.FindElement() && d.AddElement(u"e", {}, Doc::XML_ADD_CHILD | Doc::XML_ADD_SPACE); },
         u"<r>\r\n<e />\r\n</r>"},
        {"start tag alone", u"<r/>",
         [](Doc& d) { return d.FindElement() && d.AddElement(u"e", {}, Doc::XML_ADD_CHILD | Doc::XML_ADD_NO_END); },
         u"<r>\r\n<e>\r\n</r>"},
        {"text escaped", u"<r/>",
         [](Doc& d) { return d.FindElement() && d.AddElement(u"e", u"a<b & c>'\"", Doc::XML_ADD_CHILD | 2); },
         u"<r><e>a&lt;b &amp; c&gt;'\"</e></r>"},
        {"references kept under flag 8", u"<r/>",
         [](Doc& d) { return d.FindElement() && d.AddElement(u"e", u"&amp; &#65; & &x", Doc::XML_ADD_CHILD | 2 | 8); },
         u"<r><e>&amp; &#65; &amp; &amp;x</e></r>"},
        {"text as CDATA", u"<r/>",
         [](Doc& d) { return d.FindElement() && d.AddElement(u"e", u"a]]>b", Doc::XML_ADD_CHILD | 2 | 1); },
         u"<r><e><![CDATA[a]]]]><![CDATA[>b]]></e></r>"},
        {"attribute added", u"<a/>",
         [](Doc& d) { return d.FindElement() && d.SetAttributeAt(CUR, u"x", u"1"); }, u"<a x=\"1\"/>"},
        {"attributes keep their order, second set replaces", u"<a></a>",
         [](Doc& d) {
             return d.FindElement() && d.SetAttributeAt(CUR, u"x", u"1") && d.SetAttributeAt(CUR, u"y", u"2") &&
                    d.SetAttributeAt(CUR, u"x", u"three");
         },
         u"<a x=\"three\" y=\"2\"></a>"},
        {"attribute replaces apostrophe and bare values", u"<a p='1' q=2 r />",
         [](Doc& d) {
             return d.FindElement() && d.SetAttributeAt(CUR, u"p", u"a'b\"c<&") && d.SetAttributeAt(CUR, u"q", 5) &&
                    d.SetAttributeAt(CUR, u"r", u"v") && d.SetAttributeAt(CUR, u"s", -7);
         },
         u"<a p=\"a&apos;b&quot;c&lt;&amp;\" q=\"5\" r=\"v\" s=\"-7\" />"},
        {"attribute on child position", u"<r><c/></r>",
         [](Doc& d) { return d.FindChild() && d.SetAttributeAt(CHILD, u"k", u"v"); }, u"<r><c k=\"v\"/></r>"},
        {"text replaced", u"<r><c>old &amp; text</c></r>",
         [](Doc& d) { return d.FindChild() && d.SetTextAt(CHILD, u"new<"); }, u"<r><c>new&lt;</c></r>"},
        {"text into empty-element tag", u"<r><c k=\"1\"/></r>",
         [](Doc& d) { return d.FindChild() && d.SetTextAt(CHILD, u"t"); }, u"<r><c k=\"1\">t</c></r>"},
        {"text as CDATA replaced", u"<r><c>x</c></r>",
         [](Doc& d) { return d.FindChild() && d.SetTextAt(CHILD, u"]]>", Doc::XML_ADD_CDATA); },
         u"<r><c><![CDATA[]]]]><![CDATA[>]]></c></r>"},
        {"empty text empties", u"<r><c>x</c></r>",
         [](Doc& d) { return d.FindChild() && d.SetTextAt(CHILD, u""); }, u"<r><c></c></r>"},
        {"remove first of three with its line break", u"<r>\r\n<a/>\r\n<b/>\r\n<c/>\r\n</r>",
         [](Doc& d) { return d.FindChild(u"a") && d.RemoveChild(); }, u"<r>\r\n<b/>\r\n<c/>\r\n</r>"},
        {"remove middle", u"<r><a/> <b>t</b>  <c/></r>",
         [](Doc& d) { return d.FindChild(u"b") && d.RemoveChild(); }, u"<r><a/> <c/></r>"},
        {"remove last keeps text behind it", u"<r><a/><b/>tail</r>",
         [](Doc& d) { return d.FindChild(u"b") && d.RemoveChild(); }, u"<r><a/>tail</r>"},
        {"remove current", u"<r>\r\n<a><x/></a>\r\n<b/>\r\n</r>",
         [](Doc& d) { return d.FindElement() && d.EnterElement() && d.FindElement(u"a") && d.RemoveCurrent(); },
         u"<r>\r\n<b/>\r\n</r>"},
        {"remove the root", u"<?xml version=\"1.0\"?>\r\n<r/>\r\n",
         [](Doc& d) { return d.FindElement() && d.RemoveCurrent(); },
         u"<?xml version=\"1.0\"?>\r\n\r\n"}, // the line break behind it leads up to no "<"
    };
    for (const EditCase& c : cases) {
        CXmlDocument d;
        d.SetDocText(c.before);
        EXPECT_TRUE(c.edit(d)) << c.what;
        EXPECT_EQ(U8(d.GetDocText()), U8(c.after)) << c.what;
        ExpectIndexMatchesText(d);
    }
}

TEST(XmlEditing, RefusedEditsChangeNothing)
{
    const EditCase cases[] = {
        {"set text on element with children", u"<r><c><x/></c></r>",
         [](Doc& d) { return d.FindChild() && d.SetTextAt(CHILD, u"t"); }, nullptr},
        {"set text without position", u"<r/>", [](Doc& d) { return d.SetTextAt(CUR, u"t"); }, nullptr},
        {"attribute without position", u"<r/>", [](Doc& d) { return d.SetAttributeAt(CHILD, u"a", u"t"); }, nullptr},
        {"child without current", u"<r/>", [](Doc& d) { return d.AddElement(u"c", {}, Doc::XML_ADD_CHILD); }, nullptr},
        {"start tag alone with text", u"<r/>",
         [](Doc& d) { return d.FindElement() && d.AddElement(u"c", u"t", Doc::XML_ADD_CHILD | Doc::XML_ADD_NO_END); },
         nullptr},
        {"name that would not read back", u"<r/>",
         [](Doc& d) { return d.FindElement() && d.AddElement(u"a b", {}, Doc::XML_ADD_CHILD); }, nullptr},
        {"empty name", u"<r/>", [](Doc& d) { return d.FindElement() && d.AddElement(u"", {}, Doc::XML_ADD_CHILD); }, nullptr},
        {"attribute name with quote", u"<r/>",
         [](Doc& d) { return d.FindElement() && d.SetAttributeAt(CUR, u"a\"", u"t"); }, nullptr},
        {"remove without position", u"<r/>", [](Doc& d) { return d.RemoveChild() || d.RemoveCurrent(); }, nullptr},
        {"set text on start tag without end tag", u"<r><c></r>",
         [](Doc& d) { return d.FindChild() && d.SetTextAt(CHILD, u"t"); }, nullptr},
    };
    for (const EditCase& c : cases) {
        CXmlDocument d;
        d.SetDocText(c.before);
        EXPECT_FALSE(c.edit(d)) << c.what;
        EXPECT_EQ(U8(d.GetDocText()), U8(c.before)) << c.what;
    }
}

TEST(XmlEditing, RemovingFirstOfThreeThenFindChildFindsSecond)
{
    CXmlDocument d;
    ASSERT_TRUE(d.SetDocText(u"<r>\r\n<i>1</i>\r\n<i>2</i>\r\n<i>3</i>\r\n</r>"));
    ASSERT_TRUE(d.FindChild(u"i"));
    ASSERT_TRUE(d.RemoveChild());
    EXPECT_EQ(d.GetChildIndex(), 0u);
    ASSERT_TRUE(d.FindChild(u"i"));
    EXPECT_EQ(U8(d.GetChildText()), "2");
    // Removing all children one after another, as a list is replaced.
    d.ResetPosition();
    d.FindChild();
    d.ResetPosition();
    ASSERT_TRUE(d.FindElement());
    while (d.FindChild(u"i"))
        ASSERT_TRUE(d.RemoveChild());
    EXPECT_EQ(U8(d.GetDocText()), "<r>\r\n</r>");
    ExpectIndexMatchesText(d);
    for (const char16_t* t : {u"x", u"y"})
        ASSERT_TRUE(d.AddElement(u"i", t, Doc::XML_ADD_CHILD));
    EXPECT_EQ(U8(d.GetDocText()), "<r>\r\n<i>x</i>\r\n<i>y</i>\r\n</r>");
    ExpectIndexMatchesText(d);
}

TEST(XmlEditing, CdataTextReadsBackUnchanged)
{
    for (const char16_t* text : {u"]]>", u"a]]>b]]>c", u"]]]]>>", u"<&>", u"]"}) {
        CXmlDocument d;
        ASSERT_TRUE(d.SetDocText(u"<r/>"));
        ASSERT_TRUE(d.FindElement());
        ASSERT_TRUE(d.AddElement(u"c", text, Doc::XML_ADD_CHILD | Doc::XML_ADD_CDATA));
        EXPECT_EQ(U8(d.GetChildText()), U8(text));
        CXmlDocument e;
        ASSERT_TRUE(e.SetDocText(d.GetDocText())) << U8(e.GetResult());
        ASSERT_TRUE(e.FindChild());
        EXPECT_EQ(U8(e.GetChildText()), U8(text));
    }
}

TEST(XmlEditing, ManyEditsKeepIndexInStep)
{
    // A mix of edits on a growing document; after each, the index must match a fresh parse.
    CXmlDocument d;
    ASSERT_TRUE(d.SetDocText(u"<r/>"));
    for (int i = 0; i < 40; ++i) {
        d.ResetPosition();
        ASSERT_TRUE(d.FindElement());
        std::u16string n = u"e" + std::u16string(1, char16_t('a' + i % 5));
        ASSERT_TRUE(d.AddElement(n, i % 3 ? u"t" : u"", Doc::XML_ADD_CHILD));
        ASSERT_TRUE(d.SetAttributeAt(CHILD, u"k", i));
        if (i % 4 == 3) {
            d.ResetPosition();
            d.FindElement();
            ASSERT_TRUE(d.FindChild(u"eb") || d.FindChild());
            ASSERT_TRUE(d.RemoveChild());
        }
        if (i % 5 == 2) {
            d.ResetPosition();
            d.FindElement();
            if (d.FindChild(u"ec")) {
                ASSERT_TRUE(d.SetTextAt(CHILD, u"<changed>"));
            }
        }
        ExpectIndexMatchesText(d);
    }
    EXPECT_TRUE(d.IsWellFormed());
}
