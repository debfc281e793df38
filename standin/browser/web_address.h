// Web addresses as the browser stand-in takes them apart: scheme, host, path, query. UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace trenmoor::browser {

struct WebAddress {
  std::string scheme;  // lower case: "http", "https", "file"
  std::string host;    // lower case; empty for most file: addresses
  std::string port;    // empty for the scheme's default
  std::string path;    // "/a/b.html" (percent-encoded as given)
  std::string query;   // "?x=1" or empty
  std::string pathAndQuery() const { return path + query; }
  std::string hostAndPort() const { return port.empty() ? host : host + ":" + port; }
};

// The parts of an absolute http, https or file address; nullopt for anything else.
std::optional<WebAddress> parseWebAddress(std::string_view url);

// `reference` resolved against the absolute address `base` (as a page resolves a link).
std::string resolveWebAddress(std::string_view base, std::string_view reference);

// What a user typed into the address bar, made absolute: blanks trimmed, empty becomes
// "about:blank", "/path" becomes a file: address and an address without scheme gets "http://".
std::string addressFromUserText(std::string_view text);

// The address without its "#fragment".
std::string withoutFragment(std::string_view url);

// The scheme in lower case ("data"), empty when the text has none.
std::string schemeOf(std::string_view url);

// %XX sequences decoded to bytes; malformed sequences stay as they are.
std::string percentDecode(std::string_view text);


}  // namespace trenmoor::browser
