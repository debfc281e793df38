// The seam's class-id parsing.
#include "platform/class_id.h"

#include <cstring>

namespace trenmoor::win {
namespace {

int hexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// The value of `digits` hex digits at `text`, or -1 when one is not a hex digit.
std::int64_t hexNumber(const char16_t* text, int digits) {
  std::int64_t value = 0;
  for (int i = 0; i < digits; ++i) {
    const int digit = hexValue(text[i]);
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

}  // namespace

HRESULT CLSIDFromString(const char16_t* text, CLSID* clsid) {
  if (!text || !clsid) return E_INVALIDARG;
  // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}: 38 units and a NUL. The text is read only as far
  // as its NUL, so a short text is never overrun.
  static constexpr int kLength = 38;
  int length = 0;
  while (length <= kLength && text[length] != 0) ++length;
  CLSID parsed{};
  bool ok = length == kLength && text[0] == u'{' && text[37] == u'}' && text[9] == u'-' && text[14] == u'-' &&
            text[19] == u'-' && text[24] == u'-';
  if (ok) {
    const std::int64_t d1 = hexNumber(text + 1, 8), d2 = hexNumber(text + 10, 4), d3 = hexNumber(text + 15, 4);
    ok = d1 >= 0 && d2 >= 0 && d3 >= 0;
    parsed.data1 = static_cast<std::uint32_t>(d1);
    parsed.data2 = static_cast<std::uint16_t>(d2);
    parsed.data3 = static_cast<std::uint16_t>(d3);
    static constexpr int kByteAt[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8 && ok; ++i) {
      const std::int64_t b = hexNumber(text + kByteAt[i], 2);
      ok = b >= 0;
      parsed.data4[i] = static_cast<std::uint8_t>(b);
    }
  }
  if (!ok) {
    *clsid = CLSID{};
    return CO_E_CLASSSTRING;
  }
  *clsid = parsed;
  return S_OK;
}

}  // namespace trenmoor::win
