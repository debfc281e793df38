#include "standin/browser/web_address.h"

#include "platform/text.h"
#include "standin/html/url_address.h"

namespace trenmoor::browser {

std::string schemeOf(std::string_view url) {
  for (std::size_t i = 0; i < url.size(); ++i) {
    char c = url[i];
    if (c == ':') return i == 0 ? std::string() : asciiLower(url.substr(0, i));
    bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
    if (!letter && !(other && i > 0)) return {};
  }
  return {};
}

std::optional<WebAddress> parseWebAddress(std::string_view url) {
  html::AddressParts parts;
  if (!html::splitAddress(utf8ToWide(url), parts)) return std::nullopt;
  WebAddress address;
  address.scheme = asciiLower(wideToUtf8(parts.protocol));
  if (!address.scheme.empty() && address.scheme.back() == ':') address.scheme.pop_back();
  if (address.scheme != "http" && address.scheme != "https" && address.scheme != "file") return std::nullopt;
  address.host = asciiLower(wideToUtf8(parts.hostname));
  address.port = wideToUtf8(parts.port);
  address.path = wideToUtf8(parts.pathname);
  if (address.path.empty()) address.path.push_back('/');
  address.query = wideToUtf8(parts.search);
  if (address.scheme != "file" && address.host.empty()) return std::nullopt;
  return address;
}

std::string resolveWebAddress(std::string_view base, std::string_view reference) {
  return wideToUtf8(html::resolveAddress(utf8ToWide(base), utf8ToWide(reference)));
}

std::string addressFromUserText(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  if (text.empty()) return "about:blank";
  std::string url(text);
  // A drive-less path or a host name without scheme, as the address bar completes them.
  if (url.front() == '/') url = "file://" + url;
  else if (std::string scheme = schemeOf(url);
           scheme.empty() || (url.size() > scheme.size() + 1 && url[scheme.size() + 1] >= '0' &&
                              url[scheme.size() + 1] <= '9'))  // "host:8080/..."
    url = "http://" + url;
  // Absolute hierarchical addresses come back normalised ("http://a.com" gains its "/").
  std::string normal = resolveWebAddress("", url);
  return normal.empty() ? url : normal;
}

std::string withoutFragment(std::string_view url) {
  return std::string(url.substr(0, url.find('#')));
}

std::string percentDecode(std::string_view text) {
  auto hex = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2])));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

}  // namespace trenmoor::browser
