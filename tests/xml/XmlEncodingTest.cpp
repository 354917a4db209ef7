#include "XmlDocument.h"
#include "XmlEncoding.h"
#include "XmlEncodingAliases.h"
#include "XmlTestUtil.h"

#include <gtest/gtest.h>

namespace
{
std::string Bytes16(std::u16string_view s)
{
    return std::string(reinterpret_cast<const char*>(s.data()), s.size() * 2);
}

// Restores the locale's ANSI code page when a test that set one ends.
struct AnsiScope
{
    explicit AnsiScope(int cp) { CXmlDocument::SetAnsiCodePage(cp); }
    ~AnsiScope() { CXmlDocument::SetAnsiCodePage(0); }
};
} // namespace

TEST(XmlEncoding, CodePageLookup)
{
    struct Case
    {
        const char* name;
        int cp;
    };
    const Case cases[] = {
        {"", 0},
        {"utf-8", 65001},
        {"UTF-8", 65001},
        {"utf8", 65001},
        {"utf-16", 1200},
        {"UTF-16BE", 1201},
        {"gb2312", 936},
        {"GBK", 936},
        {"big5", 950},
        {"Shift_JIS", 932},
        {"iso-8859-1", 28591},
        {"Windows-1252", 1252},
        {"us-ascii", 20127},
        {"UTF-32BE", 65005},
        {"utf-32", 65005},
        {"Utf-32LE", 65005},
        {"utf32be", 12001}, // no hyphen: not the "UTF-32" prefix, taken from the table
        {"koi8-r", 20866},
        {"euc-kr", 51949},
        {"hz-gb-2312", 52936},
        {"gb18030", 54936},
        {"cp1256 ", 1256},
        {"cp1256", 1256},
        {"x-mac-chinesesimp", 10008},
        {"iso_646.irv:1991", 20127},
        {"extended_unix_code_packed_format_for_japanese", 51932},
        {"utf-9", -1},
        {"gb 2312", -1},
        {"windows-1252 ", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CXmlDocument::GetCodePage(c.name), c.cp) << c.name;
    EXPECT_EQ(CXmlDocument::GetCodePage(std::string(100, 'a')), -1);
    EXPECT_EQ(CXmlDocument::GetCodePage("utf-32" + std::string(200, 'x')), 65005);
}

TEST(XmlEncoding, AliasTableIsComplete)
{
    EXPECT_EQ(kXmlAliasCount, 365u);
    EXPECT_EQ(XmlEncoding::AliasCount(), 365u);
    EXPECT_EQ(XmlEncoding::AliasBucketCount(), 155u);
    // Every name is found again through the hashed buckets, in any letter case.
    for (size_t i = 0; i < kXmlAliasCount; ++i) {
        std::string name = kXmlAliases[i].pszName;
        int want = name.rfind("utf-32", 0) == 0 ? 65005 : kXmlAliases[i].nCodePage;
        EXPECT_EQ(CXmlDocument::GetCodePage(name), want) << name;
        for (char& c : name)
            c = char(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(CXmlDocument::GetCodePage(name), want) << name;
    }
}

TEST(XmlEncoding, CommonCodePagesConvertThroughIcu)
{
    struct Case
    {
        const char* name;
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"gb2312", "\xD6\xD0\xCE\xC4", u"中文"},
        {"gbk", "\x81\x40", u"\u4e02"},
        {"gb18030", "\x81\x30\x81\x30", u"\u0080"},
        {"big5", "\xA4\xA4\xA4\xE5", u"中文"},
        {"shift_jis", "\x93\xFA\x96\x7B", u"日本"},
        {"euc-jp", "\xC6\xFC\xCB\xDC", u"日本"},
        {"euc-kr", "\xC7\xD1", u"\ud55c"},
        {"windows-1252", "\x80\xE9", u"\u20ac\u00e9"},
        {"windows-1251", "\xC0", u"\u0410"},
        {"iso-8859-1", "\xE9\x80", u"\u00e9\u0080"},
        {"iso-8859-15", "\xA4", u"\u20ac"},
        {"koi8-r", "\xC1", u"\u0430"},
        {"cp437", "\x82", u"\u00e9"},
        {"cp866", "\x80", u"\u0410"},
        {"us-ascii", "abc", u"abc"},
        {"macintosh", "\x8E", u"\u00e9"},
        {"windows-874", "\xA1", u"\u0e01"},
        {"cp850", "\x82", u"\u00e9"},
    };
    for (const Case& c : cases) {
        std::string out;
        ASSERT_TRUE(CXmlDocument::ConvertText(c.name, "UTF-16", c.bytes, out)) << c.name;
        EXPECT_EQ(out, Bytes16(c.text)) << c.name;
        std::string back;
        bool bLoss = true;
        ASSERT_TRUE(CXmlDocument::ConvertText("UTF-16", c.name, out, back, &bLoss)) << c.name;
        EXPECT_EQ(back, c.bytes) << c.name;
        EXPECT_FALSE(bLoss) << c.name;
    }
}

TEST(XmlEncoding, OwnCoders)
{
    struct Case
    {
        const char* from;
        const char* to;
        std::string in;
        std::string out;
    };
    const std::u16string emoji = u"a\U0001F600";
    const std::string emoji32("a\0\0\0\x00\xF6\x01\x00", 8);
    const Case cases[] = {
        {"UTF-8", "UTF-16", "a\xE4\xB8\xAD", Bytes16(u"a中")},
        {"UTF-8", "UTF-16", "\xF0\x9F\x98\x80", Bytes16(u"\U0001F600")},
        {"UTF-16", "UTF-8", Bytes16(u"\U0001F600"), "\xF0\x9F\x98\x80"},
        {"UTF-16", "UTF-32", Bytes16(emoji), emoji32},
        {"UTF-32", "UTF-16", emoji32, Bytes16(emoji)},
        {"UTF-32", "UTF-8", emoji32, "a\xF0\x9F\x98\x80"},
        {"UTF-8", "UTF-32", "a\xF0\x9F\x98\x80", emoji32},
        {"UTF-16BE", "UTF-16", std::string("\x4E\x2D", 2), Bytes16(u"中")},
        // Broken input becomes "?".
        {"UTF-8", "UTF-16", "a\xC3", Bytes16(u"a?")},
        {"UTF-8", "UTF-16", "\xC0\xAF" "b", Bytes16(u"??b")},
        {"UTF-8", "UTF-16", "\xED\xA0\x80", Bytes16(u"?")},
        {"UTF-8", "UTF-16", "\xE4\xB8" "x", Bytes16(u"?x")},
        {"UTF-32", "UTF-16", std::string("\x00\x00\x11\x00", 4), Bytes16(u"?")},
        {"UTF-16", "UTF-8", Bytes16(std::u16string(1, char16_t(0xD800))), "?"},
        // A unit cut short at the end is broken input too, not silently dropped.
        {"UTF-32", "UTF-8", std::string("A\0\0\0B\0", 6), "A?"},
        {"UTF-32", "UTF-16", std::string("\x41", 1), Bytes16(u"?")},
        {"UTF-16", "UTF-32", Bytes16(u"A") + "B", std::string("A\0\0\0?\0\0\0", 8)},
        {"UTF-16", "UTF-8", Bytes16(u"A") + "B", "A?"},
    };
    for (const Case& c : cases) {
        std::string out;
        ASSERT_TRUE(CXmlDocument::ConvertText(c.from, c.to, c.in, out)) << c.from << "->" << c.to;
        EXPECT_EQ(out, c.out) << c.from << "->" << c.to;
    }
    EXPECT_TRUE(XmlEncoding::IsValidUtf8("a\xE4\xB8\xAD"));
    for (const char* bad : {"\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF", "\x80"})
        EXPECT_FALSE(XmlEncoding::IsValidUtf8(bad)) << bad;
}

TEST(XmlEncoding, LossIsReportedWhereTheConverterCanTell)
{
    std::string out;
    bool bLoss = false;
    ASSERT_TRUE(CXmlDocument::ConvertText("UTF-16", "windows-1252", Bytes16(u"a中"), out, &bLoss));
    EXPECT_EQ(out, "a?");
    EXPECT_TRUE(bLoss);
    ASSERT_TRUE(CXmlDocument::ConvertText("UTF-16", "gb2312", Bytes16(u"\ud55c\u4e2d"), out, &bLoss));
    EXPECT_TRUE(bLoss);
    // UTF-8 and GB18030 are among the code pages that give no report.
    ASSERT_TRUE(CXmlDocument::ConvertText("UTF-16", "gb18030", Bytes16(u"\u00e9"), out, &bLoss));
    EXPECT_FALSE(bLoss);
}

TEST(XmlEncoding, AnsiCodePageStandsInForUnknownNames)
{
    AnsiScope ansi(936);
    EXPECT_EQ(CXmlDocument::GetAnsiCodePage(), 936);
    std::string out;
    for (const char* name : {"", "no-such-encoding"}) {
        ASSERT_TRUE(CXmlDocument::ConvertText(name, "UTF-16", "\xD6\xD0", out)) << name;
        EXPECT_EQ(out, Bytes16(u"中")) << name;
    }
    CXmlDocument::SetAnsiCodePage(1252);
    ASSERT_TRUE(CXmlDocument::ConvertText("", "UTF-16", "\x80", out));
    EXPECT_EQ(out, Bytes16(u"\u20ac"));
}

TEST(XmlEncoding, DeclaredEncoding)
{
    struct Case
    {
        const char16_t* text;
        const char* enc;
    };
    const Case cases[] = {
        {u"<?xml version=\"1.0\" encoding=\"GB2312\"?><a/>", "GB2312"},
        {u"<?XML encoding='utf-8' ?>", "utf-8"},
        {u"<?xml version=\"1.0\"?><a/>", ""},
        {u" <?xml version=\"1.0\" encoding=\"GB2312\"?>", ""}, // must begin the text
        {u"<?xml-stylesheet encoding=\"x\"?>", ""},
        {u"<!DOCTYPE html><html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=big5\"></head></html>",
         "big5"},
        {u"<HTML><HEAD><META HTTP-EQUIV=\"content-type\" CONTENT=\"text/html;CHARSET = gbk;x\"></HEAD>", "gbk"},
        {u"<html><head><meta name=\"x\" content=\"charset=big5\"><meta http-equiv=\"Content-Type\" content=\"text/html\">"
         u"<meta http-equiv=\"Content-Type\" content=\"charset=koi8-r\">",
         "koi8-r"},
        {u"<html><head></head><meta http-equiv=\"Content-Type\" content=\"charset=big5\">", ""},
        {u"<body><meta http-equiv=\"Content-Type\" content=\"charset=big5\">", ""},
        {u"<html><1><meta http-equiv=\"Content-Type\" content=\"charset=big5\">", ""},
        {u"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(U8(CXmlDocument::DeclaredEncoding(c.text)), c.enc) << U8(c.text);
}
