#include "XmlText.h"
#include "XmlTestUtil.h"

#include <gtest/gtest.h>

TEST(XmlEscaping, TextAndAttributeRules)
{
    struct Case
    {
        const char16_t* in;
        bool attr;
        bool refs;
        const char* out;
    };
    const Case cases[] = {
        {u"a<b>c&d", false, false, "a&lt;b&gt;c&amp;d"},
        {u"'\"", false, false, "'\""},
        {u"'\"", true, false, "&apos;&quot;"},
        {u"&amp;", false, false, "&amp;amp;"},
        {u"&amp;", false, true, "&amp;"},
        {u"&#65;&#x41;&_a:b-c.d;", false, true, "&#65;&#x41;&_a:b-c.d;"},
        {u"&1a;", false, true, "&amp;1a;"},      // must start with a letter, # _ or :
        {u"&a b;", false, true, "&amp;a b;"},    // blank inside
        {u"&abc", false, true, "&amp;abc"},      // no semicolon
        {u"&;", false, true, "&amp;;"},
        {u"&\u00e9t\u00e9;", false, true, "&amp;\u00e9t\u00e9;"}, // first character must be ASCII
        {u"&a\u00e9;", false, true, "&a\u00e9;"},                  // later ones may be from 127 up
        {u"", true, true, ""},
        {u"中文<", true, false, "中文&lt;"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(U8(XmlText::Escape(c.in, c.attr, c.refs)), c.out) << U8(c.in);
}

TEST(XmlEscaping, CdataSplitsEveryTerminator)
{
    struct Case
    {
        const char16_t* in;
        const char* out;
    };
    const Case cases[] = {
        {u"", "<![CDATA[]]>"},
        {u"plain <&>", "<![CDATA[plain <&>]]>"},
        {u"]]>", "<![CDATA[]]]]><![CDATA[>]]>"},
        {u"a]]>b]]>", "<![CDATA[a]]]]><![CDATA[>b]]]]><![CDATA[>]]>"},
        {u"]]", "<![CDATA[]]]]>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(U8(XmlText::CData(c.in)), c.out) << U8(c.in);
}
