// Arbitrary bytes as a document file: loading must give a clear outcome, and whatever it read
// must survive a save and a second load unchanged (unless the save reported a loss).
#include "XmlDocument.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace
{
const std::string& Dir()
{
    static const std::string dir = [] {
        char tmpl[] = "/tmp/fuzz_xml_file.XXXXXX";
        const char* d = ::mkdtemp(tmpl);
        if (!d)
            std::abort();
        return std::string(d);
    }();
    return dir;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string in = Dir() + "/in.xml", out = Dir() + "/out.xml";
    FILE* f = std::fopen(in.c_str(), "wb");
    if (!f)
        std::abort();
    if (size)
        std::fwrite(data, 1, size, f);
    std::fclose(f);

    CXmlDocument d;
    d.LoadFile(in);
    if (d.GetResult().find(u"file_error") != std::u16string::npos)
        return 0; // e.g. no converter for the encoding it declares
    if (!d.SaveFile(out) || d.GetResult().find(u"conversion_loss") != std::u16string::npos)
        return 0;
    CXmlDocument back;
    back.LoadFile(out);
    // A text that itself begins with U+FEFF is written as bytes that read as a byte-order mark.
    std::u16string_view text = d.GetDocText();
    if (!text.empty() && text[0] == 0xFEFF && back.GetDocText().compare(0, 1, u"\uFEFF") != 0)
        text.remove_prefix(1);
    if (back.GetDocText() != text)
        std::abort();
    return 0;
}
