// The character set of a page and its conversion to UTF-8 for the parser.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace trenmoor::html {

struct DecodedPage {
  std::string utf8;
  std::string charset;  // name the document reports: "utf-8", "gb2312" (code page 936), ...
};

// Order: a byte-order mark, then the declared character set (HTTP header), then a <meta>
// declaration within the first 1024 bytes, then code page 936. An unknown name counts as absent.
DecodedPage decodePage(std::span<const std::uint8_t> bytes, std::string_view declaredCharset);

// The charset named in a content-type value ("text/html; charset=utf-8"), or empty.
std::string charsetFromContentType(std::string_view contentType);

}  // namespace trenmoor::html
