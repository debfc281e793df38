// The browser's cookies, kept for the session (nothing is written to disk): stored from
// Set-Cookie headers and document.cookie writes, sent with requests and read by pages.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace trenmoor::browser {

struct Cookie {
  std::string name;
  std::string value;
  std::string domain;  // lower case, without a leading dot
  std::string path;
  bool hostOnly = true;  // no Domain attribute: only the exact host
  bool secure = false;   // sent over https only
  bool httpOnly = false; // hidden from pages and not writable by them
};

// Who reads or writes: a response header or the page (document.cookie).
enum class CookieAccess { Http, Page };

class CookieJar {
 public:
  // Stores one "name=value; Path=/; Domain=a.com; Max-Age=0; Expires=...; Secure; HttpOnly"
  // line for the address `url` (http or https). A cookie with the same name, domain and path is
  // replaced; Max-Age <= 0 or an Expires date in the past removes it. Other expiry dates count
  // as the session's end. False (jar unchanged) when refused: no name, a Domain the host does
  // not belong to, not an http(s) address, or a page touching an HttpOnly cookie.
  bool store(std::string_view url, std::string_view line, CookieAccess access);
  // "a=1; b=2" for a request to (or a page at) `url`: cookies whose domain and path match,
  // longer paths first, then oldest first. Secure ones only over https; pages never see
  // HttpOnly ones. Empty when none.
  std::string header(std::string_view url, CookieAccess access) const;

  const std::vector<Cookie>& cookies() const { return cookies_; }
  void clear() { cookies_.clear(); }

 private:
  std::vector<Cookie> cookies_;  // in creation order
};

// One cookie's value out of a Cookie header ("a=1; b=2"); empty when absent.
std::string cookieFromHeader(std::string_view header, std::string_view name);

}  // namespace trenmoor::browser
