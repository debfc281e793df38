// What an in-process web site sees and answers. A site is a function registered with the
// browser stand-in's Network for a host name; it runs on the user-interface thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace trenmoor::browser {

struct HttpHeader {
  std::string name;
  std::string value;
};

// The first value of the header `name` (any case) in `headers`; empty when absent.
std::string headerValue(const std::vector<HttpHeader>& headers, std::string_view name);

struct SiteRequest {
  std::string method;  // "GET" or "POST" (upper case)
  std::string url;     // as the browser shows it, without fragment: "https://pan.baidu.com/s/1a?b=2"
  std::string path;    // path and query: "/s/1a?b=2"
  std::vector<HttpHeader> headers;  // "Host", "Cookie" (when the jar has any), "Content-Type" (POST)
  std::string body;                 // form data of a POST, already encoded

  std::string header(std::string_view name) const { return headerValue(headers, name); }
  // One cookie's value out of the Cookie header; empty when the request does not carry it.
  std::string cookie(std::string_view name) const;
};

struct SiteResponse {
  std::int32_t status = 200;
  // "Content-Type" (with charset: "text/html; charset=gbk"), "Set-Cookie" (one header per
  // cookie), "Location" (3xx: followed by the browser, relative addresses allowed).
  std::vector<HttpHeader> headers;
  std::string body;  // bytes in the charset the Content-Type names
  // Time on the desktop clock between the request and this answer reaching the browser.
  std::int64_t latencyMs = 0;

  // A 200 page of `html` (UTF-8 unless `contentType` says otherwise).
  static SiteResponse page(std::string html, std::string contentType = "text/html; charset=utf-8");
  // A redirect to `location` (301, 302, 303, 307 or 308).
  static SiteResponse redirect(std::string location, std::int32_t status = 302);
  SiteResponse& withHeader(std::string name, std::string value);
  SiteResponse& withLatency(std::int64_t ms);
};

using SiteHandler = std::function<SiteResponse(const SiteRequest&)>;

// `text` made safe inside HTML text and quoted attribute values (& < > " ' escaped).
std::string escapedHtml(std::string_view text);

}  // namespace trenmoor::browser
