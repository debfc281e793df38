#include "standin/html/url_address.h"

#include <curl/curl.h>

#include <memory>

#include "platform/text.h"

namespace trenmoor::html {
namespace {

struct UrlDeleter {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlDeleter>;

constexpr unsigned kFlags = CURLU_NON_SUPPORT_SCHEME;

// The scheme of `text` in lower case ("http"), or empty when it has none.
std::string schemeOf(std::u16string_view text) {
  std::string scheme;
  for (char16_t c : text) {
    if (c == u':') return scheme;
    bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    bool other = (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
    if (!letter && !(other && !scheme.empty())) return {};
    scheme.push_back(static_cast<char>(c | 0x20));
  }
  return {};
}

bool hierarchical(const std::string& scheme) {
  return scheme == "http" || scheme == "https" || scheme == "ftp" || scheme == "file";
}

std::u16string part(CURLU* url, CURLUPart which) {
  char* text = nullptr;
  if (curl_url_get(url, which, &text, 0) != CURLUE_OK || !text) return {};
  std::u16string out = utf8ToWide(text);
  curl_free(text);
  return out;
}

// Leading and trailing blanks are not part of an address attribute.
std::u16string_view trimmed(std::u16string_view text) {
  auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::u16string resolveAddress(std::u16string_view base, std::u16string_view reference) {
  reference = trimmed(reference);
  std::string scheme = schemeOf(reference);
  if (!scheme.empty() && !hierarchical(scheme)) return std::u16string(reference);
  UrlHandle url(curl_url());
  if (!url) return std::u16string(reference);
  if (!hierarchical(schemeOf(base)) ||
      curl_url_set(url.get(), CURLUPART_URL, wideToUtf8(base).c_str(), kFlags) != CURLUE_OK) {
    // Without a usable base only an absolute reference can be made whole.
    if (scheme.empty() || curl_url_set(url.get(), CURLUPART_URL, wideToUtf8(reference).c_str(), kFlags) != CURLUE_OK)
      return std::u16string(reference);
    return part(url.get(), CURLUPART_URL);
  }
  if (curl_url_set(url.get(), CURLUPART_URL, wideToUtf8(reference).c_str(), kFlags) != CURLUE_OK)
    return std::u16string(reference);
  return part(url.get(), CURLUPART_URL);
}

bool splitAddress(std::u16string_view address, AddressParts& parts) {
  if (!hierarchical(schemeOf(address))) return false;
  UrlHandle url(curl_url());
  if (!url || curl_url_set(url.get(), CURLUPART_URL, wideToUtf8(address).c_str(), kFlags) != CURLUE_OK)
    return false;
  AddressParts out;
  out.protocol = part(url.get(), CURLUPART_SCHEME) + u":";
  out.hostname = part(url.get(), CURLUPART_HOST);
  out.port = part(url.get(), CURLUPART_PORT);
  out.pathname = part(url.get(), CURLUPART_PATH);
  std::u16string query = part(url.get(), CURLUPART_QUERY);
  if (!query.empty()) out.search = u"?" + query;
  std::u16string fragment = part(url.get(), CURLUPART_FRAGMENT);
  if (!fragment.empty()) out.hash = u"#" + fragment;
  parts = std::move(out);
  return true;
}

}  // namespace trenmoor::html
