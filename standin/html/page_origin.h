// Where a page comes from, and which pages may reach one another.
//
// A network page's origin is its scheme, host and port. A file: page is in the local zone
// (local pages reach one another, no network page reaches them). about:blank and javascript:
// documents take the origin of the document that made them; data: documents and documents
// nobody made (the program's own about:blank) get an opaque origin of their own that matches
// only itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace trenmoor::html {

enum class OriginKind : std::uint8_t { Network, Local, Opaque };

struct PageOrigin {
  OriginKind kind = OriginKind::Opaque;
  std::u16string scheme;  // Network: "http" or "https"
  std::u16string host;    // Network: lower case
  std::u16string port;    // Network: empty for the scheme's default
  std::uint64_t opaqueId = 0;
  std::u16string domain;  // Network: what document.domain was set to; empty while not set

  // The origin of a page at `address`: http(s) is Network, file is Local, anything else a new
  // opaque origin.
  static PageOrigin ofAddress(std::u16string_view address);
  // A new opaque origin, unlike every other.
  static PageOrigin opaque();

  bool isLocal() const { return kind == OriginKind::Local; }
  // "http://host:port", as the Origin request header and Access-Control-Allow-Origin spell it;
  // "null" for local and opaque origins.
  std::u16string serialize() const;
  // document.domain: the relaxed domain when set, else the host.
  std::u16string effectiveDomain() const { return domain.empty() ? host : domain; }
  // Sets document.domain: to the host itself or a suffix of it after a dot that still holds a
  // dot (so "example.com" from "a.example.com", never "com"). False when refused.
  bool relaxDomain(std::u16string_view value);
};

// Same scheme, host and port (document.domain plays no part): the rule for requests.
bool sameOrigin(const PageOrigin& a, const PageOrigin& b);
// Whether a script of `viewer` may see a document of `target`: the same origin, or (classic
// relaxation) both set document.domain to the same value over the same scheme.
bool mayAccess(const PageOrigin& viewer, const PageOrigin& target);

}  // namespace trenmoor::html
