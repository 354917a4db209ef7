// The caster configuration file is written by the engine alone; its layout is fixed line by
// line, so the sequence of calls the CORS page makes must give exactly these bytes.
#include "XmlDocument.h"
#include "XmlTestUtil.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <unistd.h>

namespace
{
constexpr auto CUR = CXmlDocument::XML_POS_CURRENT;
constexpr auto CHILD = CXmlDocument::XML_POS_CHILD;
const char16_t* kDecl = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
const char* kRootTag = "<CORSConfig xmlns=\"urn:stavo:cors\" version=\"1001\">";

void BuildEmpty(CXmlDocument& d)
{
    ASSERT_FALSE(d.SetDocText(kDecl));
    ASSERT_TRUE(d.AddElement(u"CORSConfig"));
    ASSERT_TRUE(d.SetAttributeAt(CUR, u"xmlns", u"urn:stavo:cors"));
    ASSERT_TRUE(d.SetAttributeAt(CUR, u"version", 1001));
    ASSERT_TRUE(d.EnterElement());
    ASSERT_TRUE(d.AddElement(u"ConfigInformation"));
    ASSERT_TRUE(d.EnterElement());
    ASSERT_TRUE(d.AddElement(u"DataCenterAddress", u"NULL"));
    ASSERT_TRUE(d.AddElement(u"ServerPort", u"NULL"));
    ASSERT_TRUE(d.AddElement(u"DataSourceList"));
    ASSERT_TRUE(d.SetAttributeAt(CUR, u"LastSource", u"NULL"));
    ASSERT_TRUE(d.AddElement(u"UserName"));
    ASSERT_TRUE(d.SetAttributeAt(CUR, u"LastUser", u"NULL"));
    ASSERT_TRUE(d.LeaveElement());
    ASSERT_TRUE(d.LeaveElement());
}

// Positions on the root with the child position reset, as every search of the page starts.
void StartSearch(CXmlDocument& d)
{
    d.ResetPosition();
    d.FindChild(); // makes the root current even when it has no child
    d.ResetChildPos();
    ASSERT_EQ(U8(d.GetTagName()), "CORSConfig");
}

std::string Lines(std::initializer_list<std::string> lines)
{
    std::string s;
    for (const std::string& l : lines)
        s += l + "\r\n";
    return s;
}
} // namespace

TEST(XmlCorsLayout, EmptyFileIsNineLines)
{
    CXmlDocument d;
    BuildEmpty(d);
    EXPECT_EQ(U8(d.GetDocText()),
              Lines({"<?xml version=\"1.0\" encoding=\"UTF-8\"?>", kRootTag, "<ConfigInformation>",
                     "<DataCenterAddress>NULL</DataCenterAddress>", "<ServerPort>NULL</ServerPort>",
                     "<DataSourceList LastSource=\"NULL\"/>", "<UserName LastUser=\"NULL\"/>", "</ConfigInformation>",
                     "</CORSConfig>"}));
    EXPECT_TRUE(d.IsWellFormed());
}

TEST(XmlCorsLayout, FirstLoginReplacesPlaceholder)
{
    CXmlDocument d;
    BuildEmpty(d);
    // Remove the placeholder ConfigInformation.
    StartSearch(d);
    ASSERT_TRUE(d.FindChild(u"ConfigInformation"));
    ASSERT_TRUE(d.EnterElement());
    ASSERT_TRUE(d.FindChild(u"DataCenterAddress"));
    ASSERT_EQ(U8(d.GetChildText()), "NULL");
    ASSERT_TRUE(d.LeaveElement());
    ASSERT_TRUE(d.RemoveChild());
    // Add the caster after the last ConfigInformation (there is none now).
    StartSearch(d);
    ASSERT_TRUE(d.AddElement(u"ConfigInformation", {}, CXmlDocument::XML_ADD_CHILD));
    ASSERT_TRUE(d.EnterElement()); // the new ConfigInformation becomes current
    ASSERT_TRUE(d.EnterElement());
    ASSERT_TRUE(d.AddElement(u"DataCenterAddress", u"A"));
    ASSERT_TRUE(d.AddElement(u"ServerPort", u"2101"));
    ASSERT_TRUE(d.AddElement(u"DataSourceList"));
    ASSERT_TRUE(d.SetAttributeAt(CUR, u"LastSource", u"M1"));
    for (const char16_t* m : {u"M1", u"M2"})
        ASSERT_TRUE(d.AddElement(u"Item", m, CXmlDocument::XML_ADD_CHILD));
    ASSERT_TRUE(d.AddElement(u"UserName"));
    ASSERT_TRUE(d.SetAttributeAt(CUR, u"LastUser", u"U"));
    ASSERT_TRUE(d.AddElement(u"Item", u"U", CXmlDocument::XML_ADD_CHILD));
    const std::string want =
        Lines({"<?xml version=\"1.0\" encoding=\"UTF-8\"?>", kRootTag, "<ConfigInformation>",
               "<DataCenterAddress>A</DataCenterAddress>", "<ServerPort>2101</ServerPort>",
               "<DataSourceList LastSource=\"M1\">", "<Item>M1</Item>", "<Item>M2</Item>", "</DataSourceList>",
               "<UserName LastUser=\"U\">", "<Item>U</Item>", "</UserName>", "</ConfigInformation>", "</CORSConfig>"});
    EXPECT_EQ(U8(d.GetDocText()), want);

    // Saved and read back through a file, then a second login updates the same caster.
    char tmpl[] = "/tmp/stavo-cors-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    std::string path = std::string(tmpl) + "/Config.xml";
    ASSERT_TRUE(d.SaveFile(path));
    CXmlDocument e;
    ASSERT_TRUE(e.LoadFile(path)) << U8(e.GetResult());
    StartSearch(e);
    ASSERT_TRUE(e.FindChild(u"ConfigInformation"));
    ASSERT_TRUE(e.EnterElement());
    ASSERT_TRUE(e.FindChild(u"DataSourceList"));
    ASSERT_TRUE(e.SetAttributeAt(CHILD, u"LastSource", u"M3"));
    ASSERT_TRUE(e.EnterElement());
    while (e.FindChild(u"Item"))
        ASSERT_TRUE(e.RemoveChild());
    ASSERT_TRUE(e.AddElement(u"Item", u"M3", CXmlDocument::XML_ADD_CHILD));
    ASSERT_TRUE(e.LeaveElement());
    ASSERT_TRUE(e.LeaveElement());
    ASSERT_TRUE(e.SaveFile(path));
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    EXPECT_EQ(ss.str(), Lines({"<?xml version=\"1.0\" encoding=\"UTF-8\"?>", kRootTag, "<ConfigInformation>",
                               "<DataCenterAddress>A</DataCenterAddress>", "<ServerPort>2101</ServerPort>",
                               "<DataSourceList LastSource=\"M3\">", "<Item>M3</Item>", "</DataSourceList>",
                               "<UserName LastUser=\"U\">", "<Item>U</Item>", "</UserName>", "</ConfigInformation>",
                               "</CORSConfig>"}));
    ::unlink(path.c_str());
    ::rmdir(tmpl);
}
