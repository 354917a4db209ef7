// stavo-xmlcheck FILE...: loads each file with the document engine and prints whether it is
// well-formed, followed by the engine's result entries. Exit status 1 when any file is not.
#include "XmlDocument.h"
#include "XmlEncoding.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        std::fprintf(argc < 2 ? stderr : stdout, "usage: stavo-xmlcheck FILE...\n");
        return argc < 2 ? 2 : 0;
    }
    int nBad = 0;
    for (int i = 1; i < argc; ++i) {
        CXmlDocument doc;
        bool bOk = doc.LoadFile(argv[i]);
        std::string result;
        XmlEncoding::Utf16ToUtf8(doc.GetResult(), result);
        std::printf("%s: %s\n  %s\n", argv[i], bOk ? "well-formed" : "NOT well-formed", result.c_str());
        if (!bOk)
            ++nBad;
    }
    return nBad ? 1 : 0;
}
