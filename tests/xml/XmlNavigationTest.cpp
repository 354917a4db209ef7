#include "XmlDocument.h"
#include "XmlTestUtil.h"

#include <gtest/gtest.h>

namespace
{
const char16_t* kDoc = u"<?xml version=\"1.0\"?>\r\n"
                       u"<root a=\"1\">\r\n"
                       u"<item>one</item>\r\n"
                       u"<other/>\r\n"
                       u"<item>two<sub/></item>\r\n"
                       u"<Item>three</Item>\r\n"
                       u"</root>\r\n";
} // namespace

TEST(XmlNavigation, FindChildOnFreshDocumentMakesRootCurrent)
{
    CXmlDocument d;
    ASSERT_TRUE(d.SetDocText(kDoc));
    ASSERT_TRUE(d.FindChild(u"item"));
    EXPECT_EQ(U8(d.GetTagName()), "root");
    EXPECT_EQ(U8(d.GetChildText()), "one");
    EXPECT_EQ(d.GetParentIndex(), 0u);
}

TEST(XmlNavigation, FindChildWalksMatchingChildrenInOrder)
{
    struct Case
    {
        const char16_t* name;
        std::vector<std::string> tags;
    };
    const Case cases[] = {
        {u"", {"item", "other", "item", "Item"}},
        {u"item", {"item", "item"}},
        {u"Item", {"Item"}},
        {u"ite", {}},
        {u"items", {}},
        {u"item[2]", {"item", "item"}}, // a name followed by "[" still matches the plain name
        {u"item/sub", {"item", "item"}},
    };
    for (const Case& c : cases) {
        CXmlDocument d;
        ASSERT_TRUE(d.SetDocText(kDoc));
        std::vector<std::string> got;
        while (d.FindChild(c.name))
            got.push_back(U8(d.GetChildTagName()));
        EXPECT_EQ(got, c.tags) << U8(c.name);
    }
}

TEST(XmlNavigation, CaseInsensitiveFlagMatchesAnyCase)
{
    CXmlDocument d;
    d.SetDocFlags(CXmlDocument::XML_IGNORE_CASE);
    ASSERT_TRUE(d.SetDocText(kDoc));
    int n = 0;
    while (d.FindChild(u"ITEM"))
        ++n;
    EXPECT_EQ(n, 3);
    CXmlDocument e;
    e.SetDocFlags(CXmlDocument::XML_IGNORE_CASE);
    EXPECT_TRUE(e.SetDocText(u"<A><b></B></a>")) << U8(e.GetResult());
}

TEST(XmlNavigation, EnterAndLeave)
{
    CXmlDocument d;
    ASSERT_TRUE(d.SetDocText(kDoc));
    EXPECT_FALSE(d.EnterElement()); // no current element
    EXPECT_FALSE(d.LeaveElement()); // no parent
    ASSERT_TRUE(d.FindElement(u"root"));
    ASSERT_TRUE(d.FindChild(u"other"));
    ASSERT_TRUE(d.EnterElement());
    EXPECT_EQ(U8(d.GetTagName()), "other");
    EXPECT_EQ(d.GetChildIndex(), 0u);
    ASSERT_TRUE(d.FindElement(u"item"));
    EXPECT_EQ(U8(d.GetText()), ""); // has a child element
    ASSERT_TRUE(d.FindChild());
    EXPECT_EQ(U8(d.GetChildTagName()), "sub");
    ASSERT_TRUE(d.LeaveElement());
    EXPECT_EQ(U8(d.GetTagName()), "root");
    EXPECT_EQ(U8(d.GetChildTagName()), "item");
    EXPECT_EQ(d.GetParentIndex(), 0u);
}

TEST(XmlNavigation, EnterWithoutChildPositionLeavesNoCurrent)
{
    CXmlDocument d;
    ASSERT_TRUE(d.SetDocText(u"<a><b/><c/></a>"));
    ASSERT_TRUE(d.FindElement());
    ASSERT_TRUE(d.EnterElement());
    EXPECT_EQ(d.GetCurrentIndex(), 0u);
    ASSERT_TRUE(d.FindElement());
    EXPECT_EQ(U8(d.GetTagName()), "b");
}

TEST(XmlNavigation, FailedSearchKeepsPositions)
{
    CXmlDocument d;
    ASSERT_TRUE(d.SetDocText(kDoc));
    ASSERT_TRUE(d.FindChild(u"other"));
    uint32_t p = d.GetParentIndex(), c = d.GetCurrentIndex(), ch = d.GetChildIndex();
    EXPECT_FALSE(d.FindChild(u"nothing"));
    EXPECT_FALSE(d.FindElement(u"nothing"));
    EXPECT_EQ(p, d.GetParentIndex());
    EXPECT_EQ(c, d.GetCurrentIndex());
    EXPECT_EQ(ch, d.GetChildIndex());
}

TEST(XmlNavigation, TextAndAttributes)
{
    struct Case
    {
        const char16_t* doc;
        const char* text;
    };
    const Case cases[] = {
        {u"<a>plain</a>", "plain"},
        {u"<a>x &lt;&amp;&gt; y</a>", "x <&> y"},
        {u"<a><![CDATA[<raw>&amp;]]></a>", "<raw>&amp;"},
        {u"<a>one<!-- c -->two<?pi x?>three</a>", "onetwothree"},
        {u"<a>  \r\n </a>", ""},
        {u"<a>x <![CDATA[y]]> z</a>", "x y z"},
        {u"<a>\r\n<![CDATA[y]]>\r\n</a>", "y"},
        {u"<a/>", ""},
        {u"<a>t<b/>u</a>", ""},
        {u"<a>&#20013;&#x6587;</a>", "中文"},
    };
    for (const Case& c : cases) {
        CXmlDocument d;
        ASSERT_TRUE(d.SetDocText(c.doc)) << U8(c.doc);
        ASSERT_TRUE(d.FindElement());
        EXPECT_EQ(U8(d.GetText()), c.text) << U8(c.doc);
    }

    CXmlDocument d;
    ASSERT_TRUE(d.SetDocText(u"<a x=\"1\" y='two &amp; &quot;' z = \"3\" w=bare q=\"a>b\"/>"));
    ASSERT_TRUE(d.FindElement());
    EXPECT_EQ(U8(d.GetAttribute(u"x")), "1");
    EXPECT_EQ(U8(d.GetAttribute(u"y")), "two & \"");
    EXPECT_EQ(U8(d.GetAttribute(u"z")), "3");
    EXPECT_EQ(U8(d.GetAttribute(u"w")), "bare");
    EXPECT_EQ(U8(d.GetAttribute(u"q")), "a>b");
    EXPECT_EQ(U8(d.GetAttribute(u"X")), "");
    EXPECT_EQ(U8(d.GetAttribute(u"none")), "");
}

TEST(XmlNavigation, FindNodeVisitsEveryNodeUnderTheParent)
{
    CXmlDocument d;
    ASSERT_TRUE(d.SetDocText(u"<?xml version=\"1.0\"?><!DOCTYPE r><r>t1<!--c--><e/><![CDATA[d]]><?p i?></r>"));
    std::vector<std::pair<int, std::string>> got;
    while (d.FindNode())
        got.emplace_back(d.GetNodeType(), U8(d.GetText()));
    std::vector<std::pair<int, std::string>> want = {
        {XML_NODE_PI, "xml version=\"1.0\""}, {XML_NODE_DOCTYPE, "<!DOCTYPE r>"}, {XML_NODE_ELEMENT, ""}};
    EXPECT_EQ(got, want);

    ASSERT_TRUE(d.EnterElement()); // into r, which is current
    got.clear();
    while (d.FindNode())
        got.emplace_back(d.GetNodeType(), U8(d.GetText()));
    want = {{XML_NODE_TEXT, "t1"}, {XML_NODE_COMMENT, "c"}, {XML_NODE_ELEMENT, ""}, {XML_NODE_CDATA, "d"},
            {XML_NODE_PI, "p i"}};
    EXPECT_EQ(got, want);

    // Filtering by type skips the others, and an element find goes on after the node.
    d.ResetPosition();
    ASSERT_TRUE(d.FindElement());
    ASSERT_TRUE(d.EnterElement());
    ASSERT_TRUE(d.FindNode(XML_NODE_CDATA));
    EXPECT_EQ(U8(d.GetText()), "d");
    EXPECT_FALSE(d.FindElement());
}

TEST(XmlNavigation, StreamingModesRefuseNavigationAndEditing)
{
    for (int flag : {int(CXmlDocument::XML_READ_STREAM), int(CXmlDocument::XML_WRITE_STREAM)}) {
        CXmlDocument d;
        ASSERT_TRUE(d.SetDocText(u"<a><b/></a>"));
        d.SetDocFlags(flag);
        EXPECT_FALSE(d.FindElement());
        EXPECT_FALSE(d.FindChild());
        EXPECT_FALSE(d.AddElement(u"c"));
        d.SetDocFlags(0);
        EXPECT_TRUE(d.FindChild());
    }
}

TEST(XmlNavigation, NullTextFreesEverything)
{
    CXmlDocument d;
    ASSERT_TRUE(d.SetDocText(u"<a/>"));
    EXPECT_FALSE(d.SetDocText(static_cast<const char16_t*>(nullptr)));
    EXPECT_EQ(d.IndexBytes(), 0u);
    EXPECT_FALSE(d.FindElement());
    EXPECT_FALSE(d.AddElement(u"x"));
    EXPECT_EQ(U8(d.GetText()), "");
}
