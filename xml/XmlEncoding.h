// Encoding names, code pages and conversions for the document engine. UTF-8, UTF-16 and
// UTF-32 are coded here; every other code page goes through ICU.
#pragma once

#include <string>
#include <string_view>

namespace XmlEncoding
{
constexpr int kUtf16LE = 1200;
constexpr int kUtf16BE = 1201;
constexpr int kUtf32LE = 12000;
constexpr int kUtf32BE = 12001;
constexpr int kUtf32 = 65005; // the engine's own number for every "UTF-32..." name (host order)
constexpr int kUtf8 = 65001;

// Code page of an encoding name: 0 for an empty name, 65005 for names beginning with "UTF-32",
// -1 for a name longer than 99 characters or not known.
int GetCodePage(std::string_view name);
int GetCodePage(std::u16string_view name);

// The system ANSI code page: taken from the locale (UTF-8 = 65001) unless set, e.g. for tests.
int AnsiCodePage();
void SetAnsiCodePage(int nCodePage); // 0 goes back to the locale's

// Converts bytes between two named encodings (UTF-16 and UTF-32 as host-order units).
// Unknown names stand for the ANSI code page. Returns false when a converter is unavailable.
bool ConvertText(std::string_view from, std::string_view to, std::string_view in, std::string& out,
                 bool* pbLoss = nullptr);

// Code-page level conversions to and from UTF-16.
bool Decode(int nCodePage, std::string_view in, std::u16string& out);
bool Encode(int nCodePage, std::u16string_view in, std::string& out, bool* pbLoss);

// The engine's own coders; invalid input becomes "?".
void Utf8ToUtf16(std::string_view in, std::u16string& out);
void Utf16ToUtf8(std::u16string_view in, std::string& out);
bool IsValidUtf8(std::string_view in);

// The table as kept, for tests: number of names and buckets.
size_t AliasCount();
size_t AliasBucketCount();
} // namespace XmlEncoding
