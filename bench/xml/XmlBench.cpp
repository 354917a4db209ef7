// Speed of CXmlDocument against pugixml and libxml2 on the same generated document, in one run,
// best of several repetitions each. Prints times and ratios, not a verdict:
//   - index build from text already in memory (SetDocText against load_buffer / xmlReadMemory);
//   - end to end, a UTF-8 file on disk to a navigable document (LoadFile against load_file /
//     xmlReadFile), which is what a user waits for;
//   - end tags that match no open element under 100,000 open elements of distinct names, against
//     the same file with matching end tags (the cost must stay linear).
//
//   bench_xml [megabytes] [repetitions]
#include "XmlDocument.h"
#include "XmlEncoding.h"

#include <libxml/parser.h>
#include <pugixml.hpp>

#include <chrono>
#include <cstring>
#include <fstream>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace
{
// A caster configuration grown to the requested size: elements, attributes, references,
// comments and CDATA in the proportions such files have, one element per line.
std::string Generate(size_t nBytes)
{
    std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<CORSConfig xmlns=\"urn:stavo:cors\" version=\"1001\">\r\n";
    for (unsigned i = 0; s.size() < nBytes; ++i) {
        std::string n = std::to_string(i);
        s += "<ConfigInformation id=\"" + n + "\">\r\n";
        s += "<DataCenterAddress>10.0." + std::to_string(i % 250) + "." + std::to_string(i % 199) + "</DataCenterAddress>\r\n";
        s += "<ServerPort>" + std::to_string(2101 + i % 7) + "</ServerPort>\r\n";
        s += "<DataSourceList LastSource=\"MNT" + n + "_0\">\r\n";
        for (int k = 0; k < 5; ++k)
            s += "<Item>MNT" + n + "_" + std::to_string(k) + "</Item>\r\n";
        s += "</DataSourceList>\r\n<UserName LastUser='user" + n + "'>\r\n<Item>user" + n + " &amp; co</Item>\r\n</UserName>\r\n";
        if (i % 10 == 0)
            s += "<!-- caster " + n + " --><Note><![CDATA[a < b && c]]></Note>\r\n";
        s += "</ConfigInformation>\r\n";
    }
    s += "</CORSConfig>\r\n";
    return s;
}

// 100,000 open elements n0 ... n99999, then as many end tags: m0 ... m99999 (none matches), or
// n99999 ... n0 (each closes the innermost).
std::u16string Nested(bool bMatching)
{
    const int n = 100000;
    std::string s;
    for (int i = 0; i < n; ++i)
        s += "<n" + std::to_string(i) + ">";
    for (int i = 0; i < n; ++i)
        s += (bMatching ? "</n" + std::to_string(n - 1 - i) : "</m" + std::to_string(i)) + ">";
    std::u16string out;
    XmlEncoding::Utf8ToUtf16(s, out);
    return out;
}

double BestOf(int nReps, const std::function<void()>& run)
{
    double best = 1e30;
    for (int r = 0; r < nReps; ++r) {
        auto t0 = std::chrono::steady_clock::now();
        run();
        auto t1 = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    return best;
}
} // namespace

int main(int argc, char** argv)
{
    size_t nMegabytes = argc > 1 ? size_t(std::atoi(argv[1])) : 24;
    int nReps = argc > 2 ? std::atoi(argv[2]) : 7;
    std::string utf8 = Generate(nMegabytes << 20);
    std::u16string utf16;
    XmlEncoding::Utf8ToUtf16(utf8, utf16);
    std::printf("document: %.1f MB UTF-8, %.1f MB as UTF-16 text\n", utf8.size() / 1048576.0, utf16.size() * 2 / 1048576.0);

    CXmlDocument doc;
    bool bOk = true;
    double tEngine = BestOf(nReps, [&] { bOk = doc.SetDocText(utf16) && bOk; });

    pugi::xml_document pdoc;
    bool bPugi = true;
    double tPugi = BestOf(nReps, [&] {
        bPugi = pdoc.load_buffer(utf8.data(), utf8.size(), pugi::parse_default, pugi::encoding_utf8) && bPugi;
    });

    xmlInitParser();
    bool bLibxml = true;
    double tLibxml = BestOf(nReps, [&] {
        xmlDocPtr x = xmlReadMemory(utf8.data(), int(utf8.size()), "bench.xml", "UTF-8", XML_PARSE_NONET | XML_PARSE_HUGE);
        bLibxml = x != nullptr && bLibxml;
        xmlFreeDoc(x);
    });

    // End to end: the same bytes from a file.
    char dirTemplate[] = "/tmp/bench_xml.XXXXXX";
    const char* dir = ::mkdtemp(dirTemplate);
    if (!dir) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string path = std::string(dir) + "/bench.xml";
    {
        std::ofstream f(path, std::ios::binary);
        f.write(utf8.data(), std::streamsize(utf8.size()));
    }
    CXmlDocument fileDoc;
    bool bFileOk = true;
    double tLoadFile = BestOf(nReps, [&] { bFileOk = fileDoc.LoadFile(path) && bFileOk; });
    pugi::xml_document pfile;
    bool bPugiFile = true;
    double tPugiFile = BestOf(nReps, [&] { bPugiFile = pfile.load_file(path.c_str()) && bPugiFile; });
    bool bLibxmlFile = true;
    double tLibxmlFile = BestOf(nReps, [&] {
        xmlDocPtr x = xmlReadFile(path.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_HUGE);
        bLibxmlFile = x != nullptr && bLibxmlFile;
        xmlFreeDoc(x);
    });
    bFileOk = bFileOk && fileDoc.ElementCount() == doc.ElementCount();
    ::unlink(path.c_str());
    ::rmdir(dir);

    // End tags: mismatched against matching, same shape and size.
    const std::u16string matching = Nested(true), stray = Nested(false);
    CXmlDocument nested;
    bool bMatchingOk = true, bStrayRefused = true;
    double tMatching = BestOf(nReps, [&] { bMatchingOk = nested.SetDocText(matching) && bMatchingOk; });
    double tStray = BestOf(nReps, [&] { bStrayRefused = !nested.SetDocText(stray) && bStrayRefused; });

    uint32_t nElems = doc.ElementCount() - 1;
    std::printf("elements: %u (well-formed: engine %d, pugixml %d, libxml2 %d)\n", nElems, bOk, bPugi, bLibxml);
    std::printf("\n-- index build from text in memory\n");
    std::printf("CXmlDocument SetDocText : %8.2f ms\n", tEngine);
    std::printf("pugixml load_buffer     : %8.2f ms\n", tPugi);
    std::printf("libxml2 xmlReadMemory   : %8.2f ms\n", tLibxml);
    std::printf("engine / pugixml        : %8.2f  (target <= 1.5)\n", tEngine / tPugi);
    std::printf("engine / libxml2        : %8.2f  (target < 1.0)\n", tEngine / tLibxml);
    std::printf("index bytes per element : %8.2f  (record size %zu; allocated %.2f)\n", double(sizeof(XmlElemRecord)),
                sizeof(XmlElemRecord), double(doc.IndexBytes()) / (nElems + 1));
    std::printf("(SetDocText includes copying the %zu-unit text into the document, as load_buffer copies its input)\n",
                utf16.size());
    std::printf("\n-- end to end: %.1f MB UTF-8 file to a navigable document (file in the page cache)\n",
                utf8.size() / 1048576.0);
    std::printf("CXmlDocument LoadFile   : %8.2f ms\n", tLoadFile);
    std::printf("pugixml load_file       : %8.2f ms\n", tPugiFile);
    std::printf("libxml2 xmlReadFile     : %8.2f ms\n", tLibxmlFile);
    std::printf("engine / pugixml        : %8.2f\n", tLoadFile / tPugiFile);
    std::printf("engine / libxml2        : %8.2f\n", tLoadFile / tLibxmlFile);
    std::printf("(well-formed: engine %d, pugixml %d, libxml2 %d)\n", bFileOk, bPugiFile, bLibxmlFile);
    std::printf("\n-- end tags under 100,000 open elements (%.1f MB as UTF-8)\n", stray.size() / 1048576.0);
    std::printf("matching end tags       : %8.2f ms\n", tMatching);
    std::printf("end tags matching none  : %8.2f ms\n", tStray);
    std::printf("none / matching         : %8.2f  (target <= 10)\n", tStray / tMatching);
    return bOk && bPugi && bLibxml && bFileOk && bPugiFile && bLibxmlFile && bMatchingOk && bStrayRefused ? 0 : 1;
}
