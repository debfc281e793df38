#include "standin/browser/site_handler.h"

#include "platform/text.h"
#include "standin/browser/cookie_jar.h"
#include "standin/browser/web_address.h"

namespace trenmoor::browser {

std::string headerValue(const std::vector<HttpHeader>& headers, std::string_view name) {
  for (const auto& h : headers)
    if (asciiEqualsIgnoringCase(h.name, name)) return h.value;
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

std::string escapedHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

SiteResponse& SiteResponse::withLatency(std::int64_t ms) {
  latencyMs = ms;
  return *this;
}

}  // namespace trenmoor::browser
