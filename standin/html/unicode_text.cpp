#include "standin/html/unicode_text.h"

#include <cstdint>

namespace trenmoor::html {

void appendUtf8AsUtf16(std::string_view utf8, std::u16string& out) {
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const auto* end = p + utf8.size();
  out.reserve(out.size() + utf8.size());
  while (p < end) {
    unsigned char c = *p;
    if (c < 0x80) {
      out.push_back(c);
      ++p;
      continue;
    }
    int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
    if (length == 0 || c > 0xF4 || end - p < length) {
      out.push_back(u'\xFFFD');
      ++p;
      continue;
    }
    std::uint32_t code = c & (0x7F >> length);
    bool valid = true;
    for (int i = 1; i < length; ++i) {
      if ((p[i] & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      code = (code << 6) | (p[i] & 0x3F);
    }
    if (valid && ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
                  (length == 4 && (code < 0x10000 || code > 0x10FFFF))))
      valid = false;
    if (!valid) {
      out.push_back(u'\xFFFD');
      ++p;
      continue;
    }
    p += length;
    if (code >= 0x10000) {
      code -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
  }
}

std::u16string utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  appendUtf8AsUtf16(utf8, out);
  return out;
}

std::string utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    std::uint32_t code = utf16[i];
    if (code < 0x80) {
      out.push_back(static_cast<char>(code));
      continue;
    }
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      code = 0xFFFD;
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

}  // namespace trenmoor::html
