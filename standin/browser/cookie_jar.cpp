#include "standin/browser/cookie_jar.h"

#include <curl/curl.h>

#include <algorithm>
#include <ctime>

#include "platform/text.h"
#include "standin/browser/web_address.h"

namespace trenmoor::browser {
namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Splits "a=b" at the first '='; a part without '=' is all name.
std::pair<std::string_view, std::string_view> nameAndValue(std::string_view part) {
  std::size_t eq = part.find('=');
  if (eq == std::string_view::npos) return {trim(part), {}};
  return {trim(part.substr(0, eq)), trim(part.substr(eq + 1))};
}

// Calls visit(part) for each ';'-separated part.
template <typename Visit>
void forEachPart(std::string_view line, Visit&& visit) {
  while (true) {
    std::size_t semi = line.find(';');
    visit(line.substr(0, semi));
    if (semi == std::string_view::npos) return;
    line.remove_prefix(semi + 1);
  }
}

bool domainMatches(const std::string& host, const std::string& domain) {
  if (host == domain) return true;
  return host.size() > domain.size() && host.compare(host.size() - domain.size(), domain.size(), domain) == 0 &&
         host[host.size() - domain.size() - 1] == '.';
}

bool pathMatches(const std::string& requestPath, const std::string& cookiePath) {
  if (requestPath.compare(0, cookiePath.size(), cookiePath) != 0) return false;
  return requestPath.size() == cookiePath.size() || cookiePath.back() == '/' || requestPath[cookiePath.size()] == '/';
}

// The default path: the request path up to (not including) its last '/', or "/".
std::string defaultPath(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

bool CookieJar::store(std::string_view url, std::string_view line, CookieAccess access) {
  auto address = parseWebAddress(url);
  if (!address || address->scheme == "file") return false;
  Cookie cookie;
  bool expired = false;
  bool first = true;
  bool refused = false;
  forEachPart(line, [&](std::string_view part) {
    auto [name, value] = nameAndValue(part);
    if (first) {
      first = false;
      cookie.name = std::string(name);
      cookie.value = std::string(value);
      return;
    }
    std::string attribute = asciiLower(name);
    if (attribute == "path" && !value.empty() && value.front() == '/') {
      cookie.path = std::string(value);
    } else if (attribute == "domain" && !value.empty()) {
      std::string domain = asciiLower(value);
      if (domain.front() == '.') domain.erase(0, 1);
      if (domain.empty() || !domainMatches(address->host, domain)) refused = true;
      cookie.domain = domain;
      cookie.hostOnly = false;
    } else if (attribute == "max-age") {
      // Zero or negative: remove now. Any positive age lasts the session.
      bool digits = !value.empty() && value.find_first_not_of("-0123456789") == std::string_view::npos;
      if (digits && (value.front() == '-' || value.find_first_not_of('0') == std::string_view::npos)) expired = true;
    } else if (attribute == "expires") {
      std::string date(value);
      time_t when = curl_getdate(date.c_str(), nullptr);
      if (when != -1 && when < std::time(nullptr)) expired = true;
    } else if (attribute == "secure") {
      cookie.secure = true;
    } else if (attribute == "httponly") {
      cookie.httpOnly = true;
    }
  });
  if (refused || cookie.name.empty()) return false;
  if (cookie.secure && address->scheme != "https") return false;
  if (access == CookieAccess::Page && cookie.httpOnly) return false;
  if (cookie.hostOnly) cookie.domain = address->host;
  if (cookie.path.empty()) cookie.path = defaultPath(address->path);

  auto same = std::find_if(cookies_.begin(), cookies_.end(), [&](const Cookie& c) {
    return c.name == cookie.name && c.domain == cookie.domain && c.path == cookie.path;
  });
  if (same != cookies_.end()) {
    if (access == CookieAccess::Page && same->httpOnly) return false;
    if (expired) cookies_.erase(same);
    else *same = std::move(cookie);
    return true;
  }
  if (!expired) cookies_.push_back(std::move(cookie));
  return true;
}

std::string CookieJar::header(std::string_view url, CookieAccess access) const {
  auto address = parseWebAddress(url);
  if (!address || address->scheme == "file") return {};
  std::vector<const Cookie*> matching;
  for (const Cookie& c : cookies_) {
    bool domainOk = c.hostOnly ? c.domain == address->host : domainMatches(address->host, c.domain);
    if (!domainOk || !pathMatches(address->path, c.path)) continue;
    if (c.secure && address->scheme != "https") continue;
    if (c.httpOnly && access == CookieAccess::Page) continue;
    matching.push_back(&c);
  }
  std::stable_sort(matching.begin(), matching.end(),
                   [](const Cookie* a, const Cookie* b) { return a->path.size() > b->path.size(); });
  std::string out;
  for (const Cookie* c : matching) {
    if (!out.empty()) out += "; ";
    out += c->name + "=" + c->value;
  }
  return out;
}

std::string cookieFromHeader(std::string_view header, std::string_view name) {
  std::string found;
  bool done = false;
  forEachPart(header, [&](std::string_view part) {
    auto [n, v] = nameAndValue(part);
    if (!done && n == name) {
      found = std::string(v);
      done = true;
    }
  });
  return found;
}

}  // namespace trenmoor::browser
