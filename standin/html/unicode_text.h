// Lossless conversions between UTF-8 (what the parser speaks) and UTF-16 (what the object
// model stores). Malformed UTF-8 becomes U+FFFD; unpaired surrogates become U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace trenmoor::html {

std::u16string utf8ToUtf16(std::string_view utf8);
void appendUtf8AsUtf16(std::string_view utf8, std::u16string& out);
std::string utf16ToUtf8(std::u16string_view utf16);

}  // namespace trenmoor::html
