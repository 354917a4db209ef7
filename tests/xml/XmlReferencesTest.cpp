#include "XmlDocument.h"
#include "XmlText.h"
#include "XmlTestUtil.h"

#include <gtest/gtest.h>

TEST(XmlReferences, DecodeTable)
{
    struct Case
    {
        const char16_t* in;
        std::u16string out;
    };
    const Case cases[] = {
        {u"&#x41;", u"A"},
        {u"&#X41;", u"A"},
        {u"&#65;", u"A"},
        {u"&AMP;", u"&"},
        {u"&Amp;", u"&"},
        {u"&amp;&lt;&gt;&apos;&quot;", u"&<>'\""},
        {u"&ouml;", u"\u00f6"},
        {u"&Ouml;", u"\u00d6"},
        {u"&OUML;", u"\u00d6"},  // not exactly small letters: the capital form
        {u"&larr;", u"\u2190"},
        {u"&lArr;", u"\u21d0"},
        {u"&LARR;", u"\u21d0"},
        {u"&Sigma;&sigma;&sigmaf;", u"\u03a3\u03c3\u03c2"},
        {u"&thetasym;", u"\u03d1"},
        {u"&nbsp;&euro;&diams;", u"\u00a0\u20ac\u2666"},
        {u"&unknown;", u"&unknown;"},
        {u"&amp", u"&amp"},
        {u"&amp x;", u"&amp x;"},
        {u"&abcdefghi;", u"&abcdefghi;"},        // 9 characters: looked up, not found
        {u"&#0000065;", u"A"},                   // 8 characters after "&"
        {u"&#000000065;", u"&#000000065;"},      // 10 characters before ";": left alone
        {u"&#x1F600;", u"\U0001F600"},          // written as a surrogate pair
        {u"&#0;", u"&#0;"},
        {u"&#xD800;", u"&#xD800;"},              // a lone surrogate is not produced
        {u"&#x110000;", u"&#x110000;"},
        {u"&#xZZ;", u"&#xZZ;"},
        {u"&#;", u"&#;"},
        {u"&#x;", u"&#x;"},
        {u"&&amp;;", u"&&;"},
        {u"&\u00e9;", u"&\u00e9;"},
        {u"a&", u"a&"},
        {u"", u""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(U8(CXmlDocument::DecodeReferences(c.in, -1)), U8(c.out)) << U8(c.in);
    // An explicit length stops before the terminating zero.
    EXPECT_EQ(U8(CXmlDocument::DecodeReferences(u"&amp;&amp;", 5)), "&");
    EXPECT_EQ(U8(CXmlDocument::DecodeReferences(u"&amp;", 4)), "&amp");
}

TEST(XmlReferences, EntityTableIsComplete)
{
    EXPECT_EQ(XmlText::EntityCount(), 253u);
    EXPECT_EQ(XmlText::EntityBucketCount(), 130u);
    // Each name written as is must decode, and the case pairs must number 64.
    int nPairs = 0;
    for (const char16_t* name : {u"Agrave", u"Aacute", u"Acirc", u"Atilde", u"Auml", u"Aring", u"AElig", u"Ccedil",
                                 u"Egrave", u"Eacute", u"Ecirc", u"Euml", u"Igrave", u"Iacute", u"Icirc", u"Iuml",
                                 u"ETH", u"Ntilde", u"Ograve", u"Oacute", u"Ocirc", u"Otilde", u"Ouml", u"Oslash",
                                 u"Ugrave", u"Uacute", u"Ucirc", u"Uuml", u"Yacute", u"THORN", u"OElig", u"Scaron",
                                 u"Yuml", u"Alpha", u"Beta", u"Gamma", u"Delta", u"Epsilon", u"Zeta", u"Eta", u"Theta",
                                 u"Iota", u"Kappa", u"Lambda", u"Mu", u"Nu", u"Xi", u"Omicron", u"Pi", u"Rho", u"Sigma",
                                 u"Tau", u"Upsilon", u"Phi", u"Chi", u"Psi", u"Omega", u"Dagger", u"Prime", u"lArr",
                                 u"uArr", u"rArr", u"dArr", u"hArr"}) {
        std::u16string n(name), lower;
        for (char16_t c : n)
            lower += (c >= 'A' && c <= 'Z') ? char16_t(c + 32) : c;
        char32_t cap = XmlText::EntityCodePoint(n.data(), n.size());
        char32_t small = XmlText::EntityCodePoint(lower.data(), lower.size());
        EXPECT_NE(cap, 0u) << U8(n);
        EXPECT_NE(small, 0u) << U8(n);
        EXPECT_NE(cap, small) << U8(n);
        ++nPairs;
    }
    EXPECT_EQ(nPairs, 64);
    EXPECT_EQ(XmlText::EntityCodePoint(u"ouml", 4), 246u);
    EXPECT_EQ(XmlText::EntityCodePoint(u"Ouml", 4), 214u);
    EXPECT_EQ(XmlText::EntityCodePoint(u"larr", 4), 8592u);
    EXPECT_EQ(XmlText::EntityCodePoint(u"lArr", 4), 8656u);
}

TEST(XmlReferences, AttributeAndTextReadsDecode)
{
    CXmlDocument d;
    ASSERT_TRUE(d.SetDocText(u"<a v=\"&lt;&#x4E2D;&Ouml;&bogus;\">&quot;&#20013;&quot;</a>"));
    ASSERT_TRUE(d.FindElement());
    EXPECT_EQ(U8(d.GetAttribute(u"v")), "<中\u00d6&bogus;");
    EXPECT_EQ(U8(d.GetText()), "\"中\"");
}
