#include "standin/html/page_decoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "platform/text.h"

namespace trenmoor::html {
namespace {

enum class Encoding { Unknown, Utf8, CodePage936, Other };

std::string lowerTrimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '"' || text.front() == '\''))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '"' || text.back() == '\''))
    text.remove_suffix(1);
  std::string out(text);
  for (auto& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return out;
}

Encoding classify(const std::string& name) {
  if (name.empty()) return Encoding::Unknown;
  if (name == "utf-8" || name == "utf8" || name == "unicode-1-1-utf-8") return Encoding::Utf8;
  static constexpr std::string_view k936[] = {"gbk", "gb2312", "gb_2312-80", "x-gbk", "cp936",
                                              "windows-936", "936", "chinese", "csgb2312",
                                              "iso-ir-58", "ms936"};
  for (auto alias : k936)
    if (name == alias) return Encoding::CodePage936;
  iconv_t probe = iconv_open("UTF-8", name.c_str());
  if (probe == reinterpret_cast<iconv_t>(-1)) return Encoding::Unknown;
  iconv_close(probe);
  return Encoding::Other;
}

std::size_t findIgnoringCase(std::string_view text, std::string_view needle, std::size_t from) {
  for (std::size_t i = from; i + needle.size() <= text.size(); ++i)
    if (asciiStartsWithIgnoringCase(text.substr(i), needle)) return i;
  return std::string_view::npos;
}

// The value after "charset=" in `text`, up to a quote, semicolon, blank or '>'.
std::string charsetAfterLabel(std::string_view text) {
  std::size_t at = findIgnoringCase(text, "charset", 0);
  if (at == std::string_view::npos) return {};
  at += 7;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  if (at >= text.size() || text[at] != '=') return {};
  ++at;
  while (at < text.size() && (text[at] == ' ' || text[at] == '"' || text[at] == '\'')) ++at;
  std::size_t end = at;
  while (end < text.size() && text[end] != '"' && text[end] != '\'' && text[end] != ';' &&
         text[end] != ' ' && text[end] != '>' && text[end] != '/')
    ++end;
  return lowerTrimmed(text.substr(at, end - at));
}

// A <meta charset> or <meta http-equiv content="...charset=..."> in the first 1024 bytes.
std::string metaCharset(std::string_view head) {
  head = head.substr(0, 1024);
  for (std::size_t at = findIgnoringCase(head, "<meta", 0); at != std::string_view::npos;
       at = findIgnoringCase(head, "<meta", at + 5)) {
    std::size_t end = head.find('>', at);
    std::string_view tag = head.substr(at, end == std::string_view::npos ? head.size() - at : end - at + 1);
    std::string name = charsetAfterLabel(tag);
    if (!name.empty()) return name;
  }
  return {};
}

}  // namespace

std::string charsetFromContentType(std::string_view contentType) { return charsetAfterLabel(contentType); }

DecodedPage decodePage(std::span<const std::uint8_t> bytes, std::string_view declaredCharset) {
  std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  DecodedPage page;
  if (raw.starts_with("\xEF\xBB\xBF")) {
    page.utf8 = std::string(raw.substr(3));
    page.charset = "utf-8";
    return page;
  }
  if (raw.starts_with("\xFF\xFE") || raw.starts_with("\xFE\xFF")) {
    page.charset = raw[0] == '\xFF' ? "utf-16le" : "utf-16be";
    page.utf8 = charsetToUtf8(raw.substr(2), page.charset);
    return page;
  }
  std::string name = lowerTrimmed(declaredCharset);
  Encoding encoding = classify(name);
  if (encoding == Encoding::Unknown) {
    name = metaCharset(raw);
    encoding = classify(name);
  }
  switch (encoding) {
    case Encoding::Utf8:
      page.utf8 = std::string(raw);
      page.charset = "utf-8";
      break;
    case Encoding::Other:
      page.utf8 = charsetToUtf8(raw, name);
      page.charset = name;
      break;
    case Encoding::Unknown:
    case Encoding::CodePage936:
      page.utf8 = ansiToUtf8(raw);
      page.charset = "gb2312";  // the classic engine's name for code page 936
      break;
  }
  return page;
}

}  // namespace trenmoor::html
