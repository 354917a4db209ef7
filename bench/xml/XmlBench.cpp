// Index build speed of CXmlDocument against pugixml and libxml2 on the same generated document,
// in one run, best of several repetitions each. Prints times and ratios, not a verdict.
//
//   bench_xml [megabytes] [repetitions]
#include "XmlDocument.h"
#include "XmlEncoding.h"

#include <libxml/parser.h>
#include <pugixml.hpp>

#include <chrono>
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

    uint32_t nElems = doc.ElementCount() - 1;
    std::printf("elements: %u (well-formed: engine %d, pugixml %d, libxml2 %d)\n", nElems, bOk, bPugi, bLibxml);
    std::printf("CXmlDocument SetDocText : %8.2f ms\n", tEngine);
    std::printf("pugixml load_buffer     : %8.2f ms\n", tPugi);
    std::printf("libxml2 xmlReadMemory   : %8.2f ms\n", tLibxml);
    std::printf("engine / pugixml        : %8.2f  (target <= 1.5)\n", tEngine / tPugi);
    std::printf("engine / libxml2        : %8.2f  (target < 1.0)\n", tEngine / tLibxml);
    std::printf("index bytes per element : %8.2f  (record size %zu; allocated %.2f)\n", double(sizeof(XmlElemRecord)),
                sizeof(XmlElemRecord), double(doc.IndexBytes()) / (nElems + 1));
    std::printf("(SetDocText includes copying the %zu-unit text into the document, as load_buffer copies its input)\n",
                utf16.size());
    return bOk && bPugi && bLibxml ? 0 : 1;
}
