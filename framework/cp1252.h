// Texts inside the program are 8-bit strings in code page 1252, byte for byte.
// These two functions are the only way they turn into Unicode (UTF-8) and back.
#pragma once
#include <string>
#include <string_view>

namespace komp {

// Every byte maps to one code point; the five bytes 1252 leaves undefined
// (81, 8D, 8F, 90, 9D) map to the C1 controls of the same value, so all 256 round-trip.
std::string Cp1252ToUtf8(std::string_view text);
// Code points without a 1252 byte become unmapped ('?' unless told otherwise);
// malformed UTF-8 bytes are taken as Latin-1.
std::string Utf8ToCp1252(std::string_view text, char unmapped = '?');

char32_t Cp1252ToUnicode(unsigned char c);
// Returns -1 when the code point has no byte in 1252.
int UnicodeToCp1252(char32_t u);

}  // namespace komp
