#pragma once
// Code pages by their handheld numbers, converted through ICU. The ANSI code page is the one of the
// user's locale (UTF-8 is 65001); tests set another (936, the GB2312 family) without touching the
// process locale. Code page 0 stands for the locale's own character set, whatever its name, so a
// locale whose character set has no number here still converts.

#include <string>
#include <string_view>

namespace platform {

constexpr int CP_ACP = 0;
constexpr int CP_UTF8 = 65001;

// The ANSI code page: the one set by SetAnsiCodePage, else the locale's (0 when its character set
// has no number here).
int AnsiCodePage();
// 0 returns to the locale's code page.
void SetAnsiCodePage(int codePage);

// The number of a character-set name as locales and converters give it ("UTF-8", "GB2312",
// "ISO-8859-1", "CP1252", ...), 0 when unknown. Case and punctuation do not matter.
int CodePageOfCharset(std::string_view charset);
// The code page of the environment's locale (LC_ALL, LC_CTYPE, LANG), read now.
int LocaleCodePage();

// Whether ICU has a converter for the code page here.
bool IsCodePageAvailable(int codePage);

// Wide (UTF-16) to multi-byte. With a defaultChar, characters the code page lacks become that byte;
// without (0), the converter's own substitute. composite first composes decomposed sequences
// ("e" + combining acute becomes "é") so that they map when the code page has the composed
// character. False when there is no converter.
bool WideToMultiByte(int codePage, std::u16string_view in, std::string& out, char defaultChar = 0,
                     bool composite = false);
// Multi-byte to wide; malformed bytes become U+FFFD. False when there is no converter.
bool MultiByteToWide(int codePage, std::string_view in, std::u16string& out);

// How many bytes at the end of text begin a character that is not complete within it (0 when the
// text ends on a character boundary), read from its start.
int IncompleteTail(int codePage, std::string_view text);

} // namespace platform
