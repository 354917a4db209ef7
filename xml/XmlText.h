// Text helpers shared by the document and the result log: escaping for the document text,
// CDATA wrapping and the decoding of character references.
#pragma once

#include <string>
#include <string_view>

namespace XmlText
{
// Appends the text escaped: "<", "&", ">" always, and in attribute values also the apostrophe
// and the double quote. With bAllowRefs an "&" that starts a well-formed reference stays.
void AppendEscaped(std::u16string& out, std::u16string_view text, bool bAttribute, bool bAllowRefs);
std::u16string Escape(std::u16string_view text, bool bAttribute, bool bAllowRefs);

// "<![CDATA[" text "]]>", with every "]]>" inside split across two sections.
std::u16string CData(std::u16string_view text);

// Length of the well-formed reference starting at the "&" at text[0] (up to and including its
// ";"), 0 when it is not one.
size_t ReferenceLength(std::u16string_view text);

// Decodes character references; nLen -1 means up to the terminating zero.
std::u16string DecodeReferences(const char16_t* p, long nLen);
std::u16string DecodeReferences(std::u16string_view text);

// Looks a name up in the entity table (nLen characters, as written); 0 when unknown.
char32_t EntityCodePoint(const char16_t* pszName, size_t nLen);
// The table as kept: 130 bucket texts and the number of names in it.
size_t EntityCount();
size_t EntityBucketCount();
} // namespace XmlText
