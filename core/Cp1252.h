#pragma once
// The one place where the 8-bit Windows-1252 text used everywhere inside meets Unicode.
// Every byte converts both ways; the five bytes the code page leaves undefined map to the
// C1 control of the same value so they survive a round trip.

#include <string>
#include <string_view>

namespace corv {

char32_t Cp1252ToUnicode(unsigned char byte);
// The byte for a code point, or -1 when the code page has no form for it.
int UnicodeToCp1252(char32_t codePoint);

std::u32string Cp1252ToUtf32(std::string_view text);
// Code points without a Windows-1252 form are dropped.
std::string Utf32ToCp1252(std::u32string_view text);
std::string Cp1252ToUtf8(std::string_view text);
std::string Utf8ToCp1252(std::string_view text);

// Case mapping by fixed tables of the code page (never the process locale).
char UpperCase(char c);
char LowerCase(char c);
bool IsUpperCase(char c);
std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
// Ordering that ignores case first and falls back to the bytes, for stable listings.
bool LessNoCase(std::string_view a, std::string_view b);

}  // namespace corv
