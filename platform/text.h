// Text of the program: code page 936 bytes in std::string, and the one implementation of each
// shared text rule (conversions, text to number, number to text, substring search, splitting).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fixed_string.h"

namespace trenmoor {

using Text = std::string;               // code page 936 bytes
using Bytes = std::vector<std::uint8_t>;

// --- code page conversions (glibc iconv; GBK is code page 936) ------------------------------
// Bytes that are not valid in the source encoding become U+FFFD (wide) or '?' (narrow):
// a conversion never fails and never drops the rest of the text.
std::u16string ansiToWide(std::string_view ansi);
Text wideToAnsi(std::u16string_view wide);
std::string ansiToUtf8(std::string_view ansi);
Text utf8ToAnsi(std::string_view utf8);
// The same, counting the characters the code page cannot hold (each became '?', its default
// character) and the invalid bytes replaced.
Text utf8ToAnsi(std::string_view utf8, std::size_t& lostCharacters);
// UTF-8 and UTF-16 convert directly: malformed UTF-8 (a replacement per byte that starts no
// character) and unpaired surrogates become U+FFFD.
std::u16string utf8ToWide(std::string_view utf8);
void appendUtf8AsWide(std::string_view utf8, std::u16string& out);
// Well-formed UTF-8: no stray continuation bytes, overlong forms, surrogates or code points
// past U+10FFFF.
bool isValidUtf8(std::string_view text);
// Text in any character set iconv knows to UTF-8; invalid input becomes U+FFFD and the rest is
// kept. An unknown character set gives the input unchanged.
std::string charsetToUtf8(std::string_view text, const std::string& charset);
std::string wideToUtf8(std::u16string_view wide);  // see utf8ToWide

// A non-ASCII literal of the program, written once in UTF-8 and converted to code page 936 on
// first use: ansiLiteral<"确认信息">().
template <FixedString S>
const Text& ansiLiteral() {
  static const Text converted = utf8ToAnsi(S.view());
  return converted;
}

// --- ASCII letters without regard to case (names, schemes, header fields) ------------------
// ASCII letters folded to lower case; every other byte kept.
std::string asciiLower(std::string_view text);
// The same for UTF-16 names (tags, attributes, members), and to upper case.
std::u16string asciiLower(std::u16string_view text);
std::u16string asciiUpper(std::u16string_view text);
bool asciiEqualsIgnoringCase(std::string_view a, std::string_view b);
bool asciiStartsWithIgnoringCase(std::string_view text, std::string_view prefix);

// --- letter case of code page 936 text (library names, registry names) ---------------------
enum class LetterCase { Lower, Upper };
// ASCII letters folded to one case; the bytes of a double-byte character are kept whole, since
// its second byte may look like a letter.
Text foldLetterCase(std::string_view text, LetterCase to);

// --- text to number -------------------------------------------------------------------------
// Full-width ASCII variants (code page 936 bytes A3 A1..A3 FE, and A1 A1 for the ideographic
// space) become their ASCII characters; everything else is kept.
Text foldFullWidth(std::string_view text);

// Leading integer after folding: optional blanks, optional sign, decimal digits up to the first
// other character; none gives 0. Saturates at the 32-bit limits instead of overflowing.
std::int32_t leadingInteger(std::string_view text);

// Leading decimal real after folding (blanks, sign, digits, optional fraction and exponent);
// none gives 0.
double leadingReal(std::string_view text);

// A real truncated toward zero and saturated to 32 bits; NaN gives the lowest value.
std::int32_t truncatedInteger(double value);

// The leading real truncated toward zero, saturated to 32 bits (element key numbers).
std::int32_t truncatedInteger(std::string_view text);

// a * b saturated to the 32-bit range (delay seconds to milliseconds).
std::int32_t saturatingMultiply(std::int32_t a, std::int32_t b);

// --- number to text -------------------------------------------------------------------------
Text integerToText(std::int64_t value);         // decimal, no leading zeros
Text realToText(double value);                  // shortest decimal form that reads back exactly
Text logicalToText(bool value);                 // "真" or "假", for logicals the driver formats

// --- double-byte-aware substring rules ------------------------------------------------------
// Length of the character starting at `at`: 2 when its byte has the high bit set and a second
// byte follows, else 1.
inline std::size_t characterLength(std::string_view text, std::size_t at) {
  return (static_cast<unsigned char>(text[at]) & 0x80) && at + 1 < text.size() ? 2 : 1;
}

// Position of the first occurrence of `needle` at or after `from`, stepping over double-byte
// characters whole; npos when absent. An empty needle is found at `from` in a non-empty text.
std::size_t findText(std::string_view text, std::string_view needle, std::size_t from = 0);
bool containsText(std::string_view text, std::string_view needle);

// Every occurrence of `needle` (scanned from the start, double-byte aware) replaced.
Text replaceText(std::string_view text, std::string_view needle, std::string_view replacement);

// The runtime's text split: empty text gives no members; inner empty pieces stay; a trailing
// empty piece is dropped. Matches never start inside a double-byte character.
std::vector<Text> splitText(std::string_view text, std::string_view delimiter);

// Calls `member(piece)` for each member splitText would give, without building the vector.
template <typename Visit>
void forEachSplitMember(std::string_view text, std::string_view delimiter, Visit&& member);

// Number of members splitText would give.
std::size_t countSplitMembers(std::string_view text, std::string_view delimiter);

// --- implementation of the template ---------------------------------------------------------
template <typename Visit>
void forEachSplitMember(std::string_view text, std::string_view delimiter, Visit&& member) {
  if (text.empty()) return;
  std::size_t cut = 0;
  if (!delimiter.empty()) {
    std::size_t at = 0;
    while ((at = findText(text, delimiter, at)) != std::string_view::npos) {
      member(text.substr(cut, at - cut));
      at += delimiter.size();
      cut = at;
      if (at >= text.size()) break;
    }
  }
  if (cut < text.size()) member(text.substr(cut));
}

}  // namespace trenmoor
