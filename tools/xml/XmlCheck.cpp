// stavo-xmlcheck FILE...: loads each file with the document engine and prints whether it is
// well-formed, followed by the engine's result entries. Exit status 1 when any file is not.
#include "XmlDocument.h"
#include "XmlEncoding.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc > 1 && !std::strcmp(argv[1], "--version")) {
        std::printf("stavo-xmlcheck %s\n", STAVO_VERSION);
        return 0;
    }
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        std::fprintf(argc < 2 ? stderr : stdout,
                     "usage: stavo-xmlcheck FILE...\n"
                     "Loads each XML file and says whether it is well-formed, with the reader's findings.\n"
                     "Exit status 1 when any file is not.\n"
                     "  --help     show this text and exit\n"
                     "  --version  show the version and exit\n");
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
