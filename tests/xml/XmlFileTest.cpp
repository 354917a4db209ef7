#include "XmlDocument.h"
#include "XmlEncodingAliases.h"
#include "XmlTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
class XmlFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/stavo-xml-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        m_dir = tmpl;
    }
    void TearDown() override
    {
        CXmlDocument::SetAnsiCodePage(0);
        for (const std::string& f : Files())
            ::unlink((m_dir + "/" + f).c_str());
        ::rmdir(m_dir.c_str());
    }
    std::string Path(const char* name) const { return m_dir + "/" + name; }
    void Write(const std::string& path, const std::string& bytes) const
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& path) const
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    std::vector<std::string> Files() const
    {
        std::vector<std::string> out;
        if (DIR* d = ::opendir(m_dir.c_str())) {
            while (dirent* e = ::readdir(d))
                if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, ".."))
                    out.push_back(e->d_name);
            ::closedir(d);
        }
        std::sort(out.begin(), out.end());
        return out;
    }
    std::string m_dir;
};

std::string Utf16(std::u16string_view s, bool bBigEndian)
{
    std::string out;
    for (char16_t c : s) {
        char lo = char(c & 0xFF), hi = char(c >> 8);
        out += bBigEndian ? hi : lo;
        out += bBigEndian ? lo : hi;
    }
    return out;
}
} // namespace

TEST_F(XmlFile, RoundTripsByteForByte)
{
    const std::u16string body = u"<a x=\"\u00e9\">\u00e9 \u20ac</a>\r\n";
    const std::u16string cjk = u"<a x=\"\u4e2d\">\u4e2d\u6587 \u7b2c\u4e00</a>\r\n";
    struct Case
    {
        const char* what;
        std::string bytes;
        std::string loadResult;
        std::string saveResult;
    };
    const std::string decl8 = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
    const std::u16string decl16 = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n";
    const std::string utf8Body = U8(body);
    const std::string gbDecl = "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n";
    const std::string gbBody = "<a x=\"\xD6\xD0\">\xD6\xD0\xCE\xC4 \xB5\xDA\xD2\xBB</a>\r\n";
    const std::string cpDecl = "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n";
    const std::string cpBody = "<a x=\"\xE9\">\xE9 \x80</a>\r\n";
    const size_t n8 = decl8.size() + utf8Body.size();
    const size_t nText8 = decl8.size() + body.size();
    const size_t nText16 = decl16.size() + body.size();
    const size_t nGb = gbDecl.size() + cjk.size();
    const size_t nCp = cpDecl.size() + body.size();
    auto s = [](size_t n) { return std::to_string(n); };
    const Case cases[] = {
        {"UTF-8 without mark", decl8 + utf8Body,
         "<read encoding=\"UTF-8\" length=\"" + s(n8) + "\"/><converted_to encoding=\"UTF-16\" length=\"" + s(nText8) + "\"/>",
         "<converted_from encoding=\"UTF-16\" length=\"" + s(nText8) + "\"/><write encoding=\"UTF-8\" length=\"" + s(nText8) +
             "\"/>"},
        {"UTF-8 with mark", "\xEF\xBB\xBF" + decl8 + utf8Body,
         "<bom encoding=\"UTF-8\"/><read encoding=\"UTF-8\" length=\"" + s(n8) +
             "\"/><converted_to encoding=\"UTF-16\" length=\"" + s(nText8) + "\"/>",
         "<bom encoding=\"UTF-8\"/><converted_from encoding=\"UTF-16\" length=\"" + s(nText8) +
             "\"/><write encoding=\"UTF-8\" length=\"" + s(nText8) + "\"/>"},
        {"UTF-16LE with mark", "\xFF\xFE" + Utf16(decl16 + body, false),
         "<bom encoding=\"UTF-16LE\"/><read encoding=\"UTF-16LE\" length=\"" + s(nText16) + "\"/>",
         "<bom encoding=\"UTF-16LE\"/><write encoding=\"UTF-16LE\" length=\"" + s(nText16) + "\"/>"},
        {"UTF-16BE with mark", "\xFE\xFF" + Utf16(decl16 + body, true),
         "<bom encoding=\"UTF-16BE\"/><read encoding=\"UTF-16BE\" length=\"" + s(nText16) + "\"/><endian_swap/>",
         "<bom encoding=\"UTF-16BE\"/><endian_swap/><write encoding=\"UTF-16BE\" length=\"" + s(nText16) + "\"/>"},
        {"GB2312", gbDecl + gbBody,
         "<read encoding=\"GB2312\" length=\"" + s(gbDecl.size() + gbBody.size()) +
             "\"/><converted_to encoding=\"UTF-16\" length=\"" + s(nGb) + "\"/>",
         "<converted_from encoding=\"UTF-16\" length=\"" + s(nGb) + "\"/><write encoding=\"GB2312\" length=\"" + s(nGb) +
             "\"/>"},
        {"Windows-1252", cpDecl + cpBody,
         "<read encoding=\"windows-1252\" length=\"" + s(cpDecl.size() + cpBody.size()) +
             "\"/><converted_to encoding=\"UTF-16\" length=\"" + s(nCp) + "\"/>",
         "<converted_from encoding=\"UTF-16\" length=\"" + s(nCp) + "\"/><write encoding=\"windows-1252\" length=\"" +
             s(nCp) + "\"/>"},
    };
    for (const Case& c : cases) {
        Write(Path("in.xml"), c.bytes);
        CXmlDocument d;
        ASSERT_TRUE(d.LoadFile(Path("in.xml"))) << c.what << ": " << U8(d.GetResult());
        EXPECT_EQ(U8(d.GetResult()), c.loadResult) << c.what;
        ASSERT_TRUE(d.FindElement(u"a")) << c.what;
        std::string text = U8(d.GetText());
        EXPECT_TRUE(text == "\u00e9 \u20ac" || text == "中文 第一") << c.what << ": " << text;
        ASSERT_TRUE(d.SaveFile(Path("out.xml"))) << c.what;
        EXPECT_EQ(U8(d.GetResult()), c.saveResult) << c.what;
        EXPECT_EQ(Read(Path("out.xml")), c.bytes) << c.what;
    }
}

TEST_F(XmlFile, EditedDocumentKeepsItsEncoding)
{
    Write(Path("gb.xml"), "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<a/>\r\n");
    CXmlDocument d;
    ASSERT_TRUE(d.LoadFile(Path("gb.xml")));
    ASSERT_TRUE(d.FindElement());
    ASSERT_TRUE(d.AddElement(u"b", u"中文", CXmlDocument::XML_ADD_CHILD));
    ASSERT_TRUE(d.SaveFile(Path("gb.xml")));
    EXPECT_EQ(Read(Path("gb.xml")), "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<a>\r\n<b>\xD6\xD0\xCE\xC4</b>\r\n</a>\r\n");
}

TEST_F(XmlFile, DetectionWithoutMarkOrDeclaration)
{
    struct Case
    {
        const char* what;
        std::string bytes;
        int ansi;
        const char* text;
        std::string result;
    };
    const Case cases[] = {
        {"first byte < means UTF-8", "<a>\xC3\xA9</a>", 1252, "\u00e9",
         "<read encoding=\"UTF-8\" length=\"9\"/><converted_to encoding=\"UTF-16\" length=\"8\"/>"},
        {"valid UTF-8 is detected", " <a>\xC3\xA9</a>", 1252, "\u00e9",
         "<read encoding=\"UTF-8\" length=\"10\"/><utf8_detection/><converted_to encoding=\"UTF-16\" length=\"9\"/>"},
        {"otherwise the ANSI code page", " <a>\xE9</a>", 1252, "\u00e9",
         "<read encoding=\"\" length=\"9\"/><utf8_detection/><converted_to encoding=\"UTF-16\" length=\"9\"/>"},
        {"starting with < but not UTF-8: detection, not \"?\"", "<a>\xE9</a>", 1252, "\u00e9",
         "<read encoding=\"\" length=\"8\"/><utf8_detection/><converted_to encoding=\"UTF-16\" length=\"8\"/>"},
        {"ANSI code page 936", " <a>\xD6\xD0</a>", 936, "中",
         "<read encoding=\"\" length=\"10\"/><utf8_detection/><converted_to encoding=\"UTF-16\" length=\"9\"/>"},
        {"zero bytes removed", std::string("<a>\0x\0</a>", 10), 1252, "x",
         "<nulls_removed count=\"2\"/><read encoding=\"UTF-8\" length=\"10\"/><converted_to encoding=\"UTF-16\" length=\"8\"/>"},
        {"zero units removed in UTF-16", "\xFF\xFE" + Utf16(std::u16string(u"<a>\0x</a>", 9), false), 1252, "x",
         "<bom encoding=\"UTF-16LE\"/><nulls_removed count=\"1\"/><read encoding=\"UTF-16LE\" length=\"9\"/>"},
        {"HTML meta names the encoding", "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"
                                         "</head><a>\xD6\xD0</a></html>",
         1252, "中", ""},
    };
    for (const Case& c : cases) {
        CXmlDocument::SetAnsiCodePage(c.ansi);
        Write(Path("in.xml"), c.bytes);
        CXmlDocument d;
        d.LoadFile(Path("in.xml"));
        if (!c.result.empty()) {
            EXPECT_EQ(U8(d.GetResult()), c.result) << c.what;
        }
        ASSERT_TRUE(d.FindElement()) << c.what;
        if (d.GetTagName() == u"html") {
            ASSERT_TRUE(d.FindChild(u"a")) << c.what;
            EXPECT_EQ(U8(d.GetChildText()), c.text) << c.what;
        } else {
            EXPECT_EQ(U8(d.GetText()), c.text) << c.what;
        }
    }
}

TEST_F(XmlFile, FileErrorsCarryTheSystemMessage)
{
    CXmlDocument d;
    ASSERT_TRUE(d.SetDocText(u"<a/>"));
    EXPECT_FALSE(d.LoadFile(Path("missing.xml")));
    EXPECT_EQ(U8(d.GetResult()), "<file_error msg=\"" + std::string(std::strerror(ENOENT)) + "\" n=\"" +
                                     std::to_string(ENOENT) + "\"/>");
    EXPECT_EQ(U8(d.GetDocText()), "");
    EXPECT_FALSE(d.FindElement());

    EXPECT_FALSE(d.LoadFile(m_dir));
    EXPECT_EQ(U8(d.GetResult()), "<file_error msg=\"" + std::string(std::strerror(EISDIR)) + "\" n=\"" +
                                     std::to_string(EISDIR) + "\"/>");

    ASSERT_TRUE(d.SetDocText(u"<a/>"));
    EXPECT_FALSE(d.SaveFile(Path("no/such/dir.xml")));
    EXPECT_EQ(U8(d.GetResult()), "<file_error msg=\"" + std::string(std::strerror(ENOENT)) + "\" n=\"" +
                                     std::to_string(ENOENT) + "\"/>");
    Write(Path("broken.xml"), "<a><b></a>");
    EXPECT_FALSE(d.LoadFile(Path("broken.xml")));
    EXPECT_EQ(U8(d.GetResult()), "<read encoding=\"UTF-8\" length=\"10\"/><converted_to encoding=\"UTF-16\" length=\"10\"/>"
                                 "<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"6\"/>");
}

TEST_F(XmlFile, SaveReplacesAtomicallyAndKeepsMode)
{
    const std::string path = Path("Config.xml");
    Write(path, "old contents");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    CXmlDocument d;
    ASSERT_TRUE(d.SetDocText(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<a>\u4e2d</a>\r\n"));
    ASSERT_TRUE(d.SaveFile(path));
    EXPECT_EQ(Read(path), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<a>\xE4\xB8\xAD</a>\r\n");
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(Files(), std::vector<std::string>{"Config.xml"}); // no temporary left behind

    // A save that cannot convert (no converter for Mac Japanese here) leaves the old file whole.
    ASSERT_TRUE(d.SetDocText(u"<?xml version=\"1.0\" encoding=\"x-mac-japanese\"?>\r\n<a>t</a>"));
    EXPECT_FALSE(d.SaveFile(path));
    EXPECT_EQ(U8(d.GetResult()), "<file_error msg=\"" + std::string(std::strerror(EILSEQ)) + "\" n=\"" +
                                     std::to_string(EILSEQ) + "\"/>");
    EXPECT_EQ(Read(path), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<a>\xE4\xB8\xAD</a>\r\n");
    EXPECT_EQ(Files(), std::vector<std::string>{"Config.xml"});

    // Through a symbolic link the target is replaced and the link kept.
    ASSERT_EQ(::symlink("Config.xml", Path("link.xml").c_str()), 0);
    ASSERT_TRUE(d.SetDocText(u"<b/>"));
    ASSERT_TRUE(d.SaveFile(Path("link.xml")));
    EXPECT_EQ(Read(path), "<b/>");
    struct stat lst;
    ASSERT_EQ(::lstat(Path("link.xml").c_str(), &lst), 0);
    EXPECT_TRUE(S_ISLNK(lst.st_mode));
}

TEST_F(XmlFile, SaveDetails)
{
    struct Case
    {
        const char* what;
        std::u16string text;
        int flags;
        std::string bytes;
        std::string result;
        bool ok;
    };
    const Case cases[] = {
        {"empty text", u"", 0, "", "<write encoding=\"UTF-8\" length=\"0\"/>", true},
        {"no declaration means UTF-8", u"<a>\u00e9</a>", 0, "<a>\xC3\xA9</a>",
         "<converted_from encoding=\"UTF-16\" length=\"8\"/><write encoding=\"UTF-8\" length=\"8\"/>", true},
        {"loss is reported, not failed", u"<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>\u4e2d</a>", 0,
         "<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>?</a>",
         "<converted_from encoding=\"UTF-16\" length=\"53\"/><conversion_loss/><write encoding=\"windows-1252\" length=\"53\"/>",
         true},
        {"declared UTF-16 gets its mark", u"<?xml encoding=\"UTF-16\"?><a/>", 0,
         "\xFF\xFE" + Utf16(u"<?xml encoding=\"UTF-16\"?><a/>", false),
         "<bom encoding=\"UTF-16LE\"/><write encoding=\"UTF-16\" length=\"29\"/>", true},
        {"flag asks for a UTF-8 mark", u"<a/>", CXmlDocument::XML_FILE_UTF8_BOM, "\xEF\xBB\xBF<a/>",
         "<bom encoding=\"UTF-8\"/><converted_from encoding=\"UTF-16\" length=\"4\"/><write encoding=\"UTF-8\" length=\"4\"/>",
         true},
    };
    for (const Case& c : cases) {
        CXmlDocument d;
        d.SetDocText(c.text);
        d.SetDocFlags(c.flags);
        EXPECT_EQ(d.SaveFile(Path("s.xml")), c.ok) << c.what;
        EXPECT_EQ(U8(d.GetResult()), c.result) << c.what;
        EXPECT_EQ(Read(Path("s.xml")), c.bytes) << c.what;
    }
}

TEST_F(XmlFile, EveryEncodingTheEngineWritesReadsBack)
{
    // Each name of the alias table declared by a document: what a save writes, a load must read
    // back as the text the encoding can carry (the same text as converting there and back).
    const std::u16string body = u"<a x=\"\u00e9\">Az \u00e9\u00fc \u4e2d\u6587 \u20ac \U0001F600 \u0436</a>\r\n";
    size_t nChecked = 0;
    std::string failures;
    for (size_t i = 0; i < kXmlAliasCount; ++i) {
        const std::string name = kXmlAliases[i].pszName;
        const std::u16string text = u"<?xml version=\"1.0\" encoding=\"" + U16(name) + u"\"?>\r\n" + body;
        const int cp = XmlEncoding::GetCodePage(std::string_view(name));
        std::string bytes;
        std::u16string carried;
        if (!XmlEncoding::Encode(cp, text, bytes, nullptr) || !XmlEncoding::Decode(cp, bytes, carried))
            continue; // no converter here: the save refuses, nothing is written
        CXmlDocument d;
        d.SetDocText(text);
        if (!d.SaveFile(Path("rt.xml")))
            continue;
        CXmlDocument back;
        back.LoadFile(Path("rt.xml"));
        ++nChecked;
        if (back.GetDocText() != carried)
            failures += name + " (code page " + std::to_string(cp) + "): " + U8(back.GetResult()) + "\n";
    }
    EXPECT_EQ(failures, "");
    EXPECT_GT(nChecked, 300u);
}

TEST_F(XmlFile, Utf32AndOddUtf16ReadBack)
{
    // UTF-32 is written with its mark (as UTF-16 is) and recognised by it, or by "<" as its first
    // unit when a file from elsewhere has none.
    const std::u16string text = u"<?xml version=\"1.0\" encoding=\"UTF-32\"?>\r\n<a>\u4e2d \U0001F600</a>";
    CXmlDocument d;
    ASSERT_TRUE(d.SetDocText(text));
    ASSERT_TRUE(d.SaveFile(Path("u32.xml")));
    const std::string saved = Read(Path("u32.xml"));
    EXPECT_EQ(saved.substr(0, 8), std::string("\xFF\xFE\0\0<\0\0\0", 8));
    EXPECT_EQ(saved.size(), 4 + 4 * (text.size() - 1)); // one unit fewer: the surrogate pair is one
    CXmlDocument back;
    EXPECT_TRUE(back.LoadFile(Path("u32.xml")));
    EXPECT_EQ(U8(back.GetDocText()), U8(text));
    EXPECT_EQ(U8(back.GetResult()).substr(0, 26), "<bom encoding=\"UTF-32LE\"/>");

    std::string be;
    for (size_t i = 4; i + 4 <= saved.size(); i += 4)
        be += std::string{saved[i + 3], saved[i + 2], saved[i + 1], saved[i]};
    struct Case
    {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"big-endian with mark", std::string("\0\0\xFE\xFF", 4) + be},
        {"little-endian without mark", saved.substr(4)},
        {"big-endian without mark", be},
    };
    for (const Case& c : cases) {
        Write(Path("in32.xml"), c.bytes);
        CXmlDocument e;
        EXPECT_TRUE(e.LoadFile(Path("in32.xml"))) << c.what << ": " << U8(e.GetResult());
        EXPECT_EQ(U8(e.GetDocText()), U8(text)) << c.what;
    }

    // The odd last byte of a UTF-16 file is broken input: "?", not nothing.
    Write(Path("odd.xml"), "\xFF\xFE" + Utf16(u"<a/>", false) + "x");
    CXmlDocument odd;
    odd.LoadFile(Path("odd.xml"));
    EXPECT_EQ(U8(odd.GetDocText()), "<a/>?");
    Write(Path("odd.xml"), "\xFE\xFF" + Utf16(u"<a/>", true) + "x");
    odd.LoadFile(Path("odd.xml"));
    EXPECT_EQ(U8(odd.GetDocText()), "<a/>?");
}

TEST_F(XmlFile, NewTextForgetsTheEncodingOfTheFileBefore)
{
    // A configuration loaded from UTF-16 and rebuilt from scratch is saved as its own declaration
    // says, not as UTF-16 under a UTF-8 declaration.
    Write(Path("cfg.xml"), "\xFF\xFE" + Utf16(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><a/>", false));
    CXmlDocument d;
    ASSERT_TRUE(d.LoadFile(Path("cfg.xml")));
    EXPECT_EQ(d.GetDocFlags() & CXmlDocument::XML_FILE_FLAGS, CXmlDocument::XML_FILE_UTF16LE);
    d.SetDocFlags(d.GetDocFlags() | CXmlDocument::XML_IGNORE_CASE);
    ASSERT_TRUE(d.SetDocText(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<a>\u4e2d</a>\r\n"));
    EXPECT_EQ(d.GetDocFlags(), int(CXmlDocument::XML_IGNORE_CASE)); // other flags stay
    ASSERT_TRUE(d.SaveFile(Path("cfg.xml")));
    EXPECT_EQ(Read(Path("cfg.xml")), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<a>\xE4\xB8\xAD</a>\r\n");
}
