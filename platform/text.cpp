#include "platform/text.h"

#include <iconv.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <mutex>

namespace trenmoor {
namespace {

// One iconv descriptor per direction and thread; iconv descriptors are not thread-safe.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  bool usable() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  Converter& operator=(const Converter&) = delete;

  // Converts `in`; an invalid or incomplete input sequence is replaced by `replacement`
  // (already in the target encoding) and conversion resumes `skip` bytes further. `lost`, when
  // given, counts the characters replaced or approximated.
  std::string convert(std::string_view in, std::string_view replacement, std::size_t skip,
                      std::size_t* lost = nullptr) {
    std::string out;
    if (in.empty() || cd_ == reinterpret_cast<iconv_t>(-1)) return out;
    out.resize(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    std::size_t used = 0;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    while (srcLeft > 0) {
      char* dst = out.data() + used;
      std::size_t dstLeft = out.size() - used;
      std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      used = out.size() - dstLeft;
      if (r != static_cast<std::size_t>(-1)) {
        if (lost) *lost += r;  // irreversible conversions: the target's default character
        break;
      }
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
      } else {  // EILSEQ or EINVAL: replace the offending unit and go on
        if (out.size() - used < replacement.size()) out.resize(out.size() * 2 + replacement.size());
        std::memcpy(out.data() + used, replacement.data(), replacement.size());
        used += replacement.size();
        if (lost) ++*lost;
        std::size_t step = skip < srcLeft ? skip : srcLeft;
        src += step;
        srcLeft -= step;
      }
    }
    out.resize(used);
    return out;
  }

 private:
  iconv_t cd_;
};

constexpr std::string_view kWideReplacement{"\xFD\xFF", 2};  // U+FFFD, UTF-16LE

Converter& converter(int which) {
  thread_local Converter ansiToWide("UTF-16LE", "GBK");
  thread_local Converter wideToAnsi("GBK//TRANSLIT", "UTF-16LE");
  thread_local Converter ansiToUtf8("UTF-8", "GBK");
  thread_local Converter utf8ToAnsi("GBK//TRANSLIT", "UTF-8");
  switch (which) {
    case 0: return ansiToWide;
    case 1: return wideToAnsi;
    case 2: return ansiToUtf8;
    default: return utf8ToAnsi;
  }
}

// The code point of the well-formed UTF-8 character at `at` and its length in bytes; length 0
// when the bytes there start none (no overlong forms, surrogates or code points past U+10FFFF).
struct Utf8Step {
  std::uint32_t code = 0;
  std::size_t length = 0;
};
Utf8Step utf8StepAt(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return {lead, 1};
  std::size_t length;
  std::uint32_t min, code;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2, min = 0x80, code = lead & 0x1F;
  else if (lead >= 0xE0 && lead <= 0xEF) length = 3, min = 0x800, code = lead & 0x0F;
  else if (lead >= 0xF0 && lead <= 0xF4) length = 4, min = 0x10000, code = lead & 0x07;
  else return {};
  if (text.size() - at < length) return {};
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[at + k]);
    if ((next & 0xC0) != 0x80) return {};
    code = (code << 6) | (next & 0x3F);
  }
  if (code < min || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return {};
  return {code, length};
}

bool isAscii(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) & 0x80) return false;
  return true;
}

bool isAscii(std::u16string_view text) {
  for (char16_t c : text)
    if (c >= 0x80) return false;
  return true;
}

std::u16string bytesToWide(const std::string& bytes) {
  std::u16string wide(bytes.size() / 2, u'\0');
  std::memcpy(wide.data(), bytes.data(), wide.size() * 2);
  return wide;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::u16string ansiToWide(std::string_view ansi) {
  if (isAscii(ansi)) return std::u16string(ansi.begin(), ansi.end());
  return bytesToWide(converter(0).convert(ansi, kWideReplacement, 1));
}

Text wideToAnsi(std::u16string_view wide) {
  if (isAscii(wide)) return Text(wide.begin(), wide.end());
  return converter(1).convert({reinterpret_cast<const char*>(wide.data()), wide.size() * 2}, "?", 2);
}

std::string ansiToUtf8(std::string_view ansi) {
  if (isAscii(ansi)) return std::string(ansi);
  return converter(2).convert(ansi, "\xEF\xBF\xBD", 1);
}

Text utf8ToAnsi(std::string_view utf8) {
  if (isAscii(utf8)) return Text(utf8);
  return converter(3).convert(utf8, "?", 1);
}

Text utf8ToAnsi(std::string_view utf8, std::size_t& lostCharacters) {
  lostCharacters = 0;
  if (isAscii(utf8)) return Text(utf8);
  return converter(3).convert(utf8, "?", 1, &lostCharacters);
}

bool isValidUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = utf8StepAt(text, at).length;
    if (length == 0) return false;
    at += length;
  }
  return true;
}

void appendUtf8AsWide(std::string_view utf8, std::u16string& out) {
  out.reserve(out.size() + utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    if (lead < 0x80) {
      out.push_back(lead);
      ++at;
      continue;
    }
    const Utf8Step step = utf8StepAt(utf8, at);
    if (step.length == 0) {  // one replacement per byte that starts no character
      out.push_back(u'\xFFFD');
      ++at;
      continue;
    }
    at += step.length;
    if (step.code >= 0x10000) {
      const std::uint32_t code = step.code - 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(step.code));
    }
  }
}

std::string charsetToUtf8(std::string_view text, const std::string& charset) {
  Converter converter("UTF-8", charset.c_str());
  if (!converter.usable()) return std::string(text);
  return converter.convert(text, "\xEF\xBF\xBD", 1);
}

std::u16string utf8ToWide(std::string_view utf8) {
  std::u16string out;
  appendUtf8AsWide(utf8, out);
  return out;
}

std::string wideToUtf8(std::u16string_view wide) {
  std::string out;
  out.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    std::uint32_t code = wide[i];
    if (code < 0x80) {
      out.push_back(static_cast<char>(code));
      continue;
    }
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
      ++i;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      code = 0xFFFD;  // an unpaired surrogate
    }
    if (code < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    } else if (code < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (code >> 12)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (code >> 18)));
      out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    }
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
  return out;
}

namespace {
char asciiLowerCharacter(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }
char asciiUpperCharacter(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c; }
}  // namespace

Text foldLetterCase(std::string_view text, LetterCase to) {
  Text folded(text);
  for (std::size_t at = 0; at < folded.size(); at += characterLength(folded, at)) {
    if (characterLength(folded, at) != 1) continue;
    folded[at] = to == LetterCase::Lower ? asciiLowerCharacter(folded[at]) : asciiUpperCharacter(folded[at]);
  }
  return folded;
}

std::string asciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = asciiLowerCharacter(c);
  return out;
}

std::u16string asciiLower(std::u16string_view text) {
  std::u16string out(text);
  for (auto& c : out)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
  return out;
}

std::u16string asciiUpper(std::u16string_view text) {
  std::u16string out(text);
  for (auto& c : out)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
  return out;
}

bool asciiEqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && asciiStartsWithIgnoringCase(a, b);
}

bool asciiStartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (asciiLowerCharacter(text[i]) != asciiLowerCharacter(prefix[i])) return false;
  return true;
}

Text foldFullWidth(std::string_view text) {
  Text out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    std::size_t len = characterLength(text, i);
    if (len == 2) {
      auto lead = static_cast<unsigned char>(text[i]);
      auto trail = static_cast<unsigned char>(text[i + 1]);
      if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
        out.push_back(static_cast<char>(trail - 0x80));
      } else if (lead == 0xA1 && trail == 0xA1) {
        out.push_back(' ');
      } else {
        out.append(text.substr(i, 2));
      }
    } else {
      out.push_back(text[i]);
    }
    i += len;
  }
  return out;
}

std::int32_t leadingInteger(std::string_view text) {
  Text folded = foldFullWidth(text);
  std::size_t i = 0;
  while (i < folded.size() && isBlank(folded[i])) ++i;
  bool negative = false;
  if (i < folded.size() && (folded[i] == '+' || folded[i] == '-')) negative = folded[i++] == '-';
  std::int64_t value = 0;
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  for (; i < folded.size() && folded[i] >= '0' && folded[i] <= '9'; ++i) {
    value = value * 10 + (folded[i] - '0');
    if (value > kLimit) value = kLimit;
  }
  if (negative) return static_cast<std::int32_t>(-value);
  return static_cast<std::int32_t>(value >= kLimit ? kLimit - 1 : value);
}

double leadingReal(std::string_view text) {
  Text folded = foldFullWidth(text);
  std::size_t i = 0;
  while (i < folded.size() && isBlank(folded[i])) ++i;
  std::size_t start = i;
  if (i < folded.size() && (folded[i] == '+' || folded[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < folded.size() && std::isdigit(static_cast<unsigned char>(folded[i]))) ++i, ++digits;
  if (i < folded.size() && folded[i] == '.') {
    ++i;
    while (i < folded.size() && std::isdigit(static_cast<unsigned char>(folded[i]))) ++i, ++digits;
  }
  if (digits == 0) return 0.0;
  if (i < folded.size() && (folded[i] == 'e' || folded[i] == 'E')) {
    std::size_t e = i + 1;
    if (e < folded.size() && (folded[e] == '+' || folded[e] == '-')) ++e;
    if (e < folded.size() && std::isdigit(static_cast<unsigned char>(folded[e]))) {
      while (e < folded.size() && std::isdigit(static_cast<unsigned char>(folded[e]))) ++e;
      i = e;
    }
  }
  std::string_view number(folded.data() + start, i - start);
  if (!number.empty() && number.front() == '+') number.remove_prefix(1);
  double value = 0.0;
  auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec == std::errc::result_out_of_range) {
    return number.front() == '-' ? -std::numeric_limits<double>::infinity()
                                 : std::numeric_limits<double>::infinity();
  }
  (void)ptr;
  return value;
}

std::int32_t truncatedInteger(double value) {
  value = std::trunc(value);
  if (!(value > std::numeric_limits<std::int32_t>::min())) return std::numeric_limits<std::int32_t>::min();
  if (value >= std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value);
}

std::int32_t truncatedInteger(std::string_view text) { return truncatedInteger(leadingReal(text)); }

std::int32_t saturatingMultiply(std::int32_t a, std::int32_t b) {
  std::int64_t product = std::int64_t{a} * b;
  if (product > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (product < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(product);
}

Text integerToText(std::int64_t value) { return std::to_string(value); }

Text realToText(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
  if (value == 0) return "0";
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  (void)ec;
  return Text(buffer, end);
}

Text logicalToText(bool value) {
  return value ? ansiLiteral<"真">() : ansiLiteral<"假">();
}

namespace {

// Walks characters from the boundary `at` to the first boundary at or after `target`, eight
// single-byte characters at a time where it can.
std::size_t nextBoundaryAtOrAfter(std::string_view text, std::size_t at, std::size_t target) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
  while (at < target) {
    if (at + 8 <= target) {
      std::uint64_t word;
      std::memcpy(&word, text.data() + at, sizeof word);
      if ((word & kHighBits) == 0) {
        at += 8;
        continue;
      }
    }
    at += characterLength(text, at);
  }
  return at;
}

}  // namespace

std::size_t findText(std::string_view text, std::string_view needle, std::size_t from) {
  if (from >= text.size()) return std::string_view::npos;
  if (needle.empty()) return from;
  // Candidates come from the fast byte search; each is accepted only when the character walk
  // from the last known character boundary lands on it.
  std::size_t boundary = from;
  std::size_t candidate = from;
  while ((candidate = text.find(needle, candidate)) != std::string_view::npos) {
    boundary = nextBoundaryAtOrAfter(text, boundary, candidate);
    if (boundary == candidate) return candidate;
    candidate = boundary;  // the match started inside a double-byte character
  }
  return std::string_view::npos;
}

bool containsText(std::string_view text, std::string_view needle) {
  return !text.empty() && findText(text, needle) != std::string_view::npos;
}

Text replaceText(std::string_view text, std::string_view needle, std::string_view replacement) {
  if (needle.empty()) return Text(text);
  Text out;
  out.reserve(text.size());
  std::size_t cut = 0;
  std::size_t at = 0;
  while ((at = findText(text, needle, at)) != std::string_view::npos) {
    out.append(text.substr(cut, at - cut));
    out.append(replacement);
    at += needle.size();
    cut = at;
  }
  out.append(text.substr(cut));
  return out;
}

std::vector<Text> splitText(std::string_view text, std::string_view delimiter) {
  std::vector<Text> members;
  forEachSplitMember(text, delimiter, [&](std::string_view piece) { members.emplace_back(piece); });
  return members;
}

std::size_t countSplitMembers(std::string_view text, std::string_view delimiter) {
  std::size_t count = 0;
  forEachSplitMember(text, delimiter, [&](std::string_view) { ++count; });
  return count;
}

}  // namespace trenmoor
