// Character reference decoding of arbitrary UTF-16 input: never reads past the given length,
// and its output is never longer than its input.
#include "XmlDocument.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::u16string text(size / 2, u'\0');
    std::memcpy(text.data(), data, text.size() * 2);
    // A heap copy of exactly the input length, so the sanitizer sees any overread.
    char16_t* exact = new char16_t[text.size() ? text.size() : 1];
    std::memcpy(exact, text.data(), text.size() * 2);
    std::u16string out = CXmlDocument::DecodeReferences(exact, long(text.size()));
    delete[] exact;
    if (out.size() > text.size())
        std::abort();
    text.push_back(u'\0');
    std::u16string out2 = CXmlDocument::DecodeReferences(text.data(), -1);
    if (out2.size() > out.size())
        std::abort();
    return 0;
}
