#include "standin/html/page_origin.h"

#include "standin/html/tag_table.h"
#include "standin/html/url_address.h"

namespace trenmoor::html {
namespace {

std::uint64_t nextOpaqueId = 1;  // one user-interface thread makes every document

std::u16string schemeOf(std::u16string_view address) {
  std::size_t colon = address.find(u':');
  if (colon == std::u16string_view::npos) return {};
  std::u16string scheme = asciiLower(address.substr(0, colon));
  for (char16_t c : scheme)
    if (!((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.')) return {};
  return scheme;
}

}  // namespace

PageOrigin PageOrigin::opaque() {
  PageOrigin origin;
  origin.opaqueId = nextOpaqueId++;
  return origin;
}

PageOrigin PageOrigin::ofAddress(std::u16string_view address) {
  const std::u16string scheme = schemeOf(address);
  if (scheme == u"file") {
    PageOrigin origin;
    origin.kind = OriginKind::Local;
    origin.scheme = scheme;
    return origin;
  }
  AddressParts parts;
  if ((scheme != u"http" && scheme != u"https") || !splitAddress(address, parts) || parts.hostname.empty())
    return opaque();
  PageOrigin origin;
  origin.kind = OriginKind::Network;
  origin.scheme = scheme;
  origin.host = asciiLower(parts.hostname);
  origin.port = parts.port;
  if ((scheme == u"http" && origin.port == u"80") || (scheme == u"https" && origin.port == u"443")) origin.port.clear();
  return origin;
}

std::u16string PageOrigin::serialize() const {
  if (kind != OriginKind::Network) return u"null";
  return scheme + u"://" + host + (port.empty() ? u"" : u":" + port);
}

bool PageOrigin::relaxDomain(std::u16string_view value) {
  if (kind != OriginKind::Network || value.empty()) return false;
  std::u16string wanted = asciiLower(value);
  if (wanted == host) {
    domain = wanted;
    return true;
  }
  const bool suffix = host.size() > wanted.size() + 1 && host.ends_with(wanted) &&
                      host[host.size() - wanted.size() - 1] == u'.';
  const bool numeric = host.find_first_not_of(u"0123456789.") == std::u16string::npos;
  if (!suffix || numeric || wanted.find(u'.') == std::u16string::npos || wanted.front() == u'.') return false;
  domain = wanted;
  return true;
}

bool sameOrigin(const PageOrigin& a, const PageOrigin& b) {
  if (a.kind != b.kind) return false;
  switch (a.kind) {
    case OriginKind::Opaque: return a.opaqueId == b.opaqueId;
    case OriginKind::Local: return true;
    case OriginKind::Network: return a.scheme == b.scheme && a.host == b.host && a.port == b.port;
  }
  return false;
}

bool mayAccess(const PageOrigin& viewer, const PageOrigin& target) {
  if (viewer.kind != OriginKind::Network || target.kind != OriginKind::Network) return sameOrigin(viewer, target);
  if (viewer.domain.empty() != target.domain.empty()) return false;
  if (viewer.domain.empty()) return sameOrigin(viewer, target);
  return viewer.scheme == target.scheme && viewer.domain == target.domain;
}

}  // namespace trenmoor::html
