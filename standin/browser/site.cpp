#include "standin/browser/site.h"

#include "standin/browser/cookie_jar.h"

namespace trenmoor::browser {

namespace {
bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}
}  // namespace

std::string headerValue(const std::vector<HttpHeader>& headers, std::string_view name) {
  for (const auto& h : headers)
    if (equalsIgnoringCase(h.name, name)) return h.value;
  return {};
}

std::string SiteRequest::cookie(std::string_view name) const {
  return cookieFromHeader(header("Cookie"), name);
}

SiteResponse SiteResponse::page(std::string html, std::string contentType) {
  SiteResponse r;
  r.headers.push_back({"Content-Type", std::move(contentType)});
  r.body = std::move(html);
  return r;
}

SiteResponse SiteResponse::redirect(std::string location, std::int32_t status) {
  SiteResponse r;
  r.status = status;
  r.headers.push_back({"Location", std::move(location)});
  return r;
}

SiteResponse& SiteResponse::withHeader(std::string name, std::string value) {
  headers.push_back({std::move(name), std::move(value)});
  return *this;
}

SiteResponse& SiteResponse::withLatency(std::int64_t ms) {
  latencyMs = ms;
  return *this;
}

}  // namespace trenmoor::browser
