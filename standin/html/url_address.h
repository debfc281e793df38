// Absolute addresses: resolving a reference against a base and taking an address apart.
#pragma once

#include <string>
#include <string_view>

namespace trenmoor::html {

// `reference` resolved against the absolute address `base`. A reference with a scheme the
// resolver does not treat as hierarchical (javascript:, mailto:, about:) is returned as it is;
// so is any reference that cannot be resolved.
std::u16string resolveAddress(std::u16string_view base, std::u16string_view reference);

// The parts of an absolute address in the form the location object reports them.
struct AddressParts {
  std::u16string protocol;  // "http:"
  std::u16string hostname;  // "www.example.com"
  std::u16string port;      // "8080" or empty
  std::u16string pathname;  // "/a/b.html"
  std::u16string search;    // "?q=1" or empty
  std::u16string hash;      // "#top" or empty
  std::u16string host() const { return port.empty() ? hostname : hostname + u":" + port; }
};
// False (and `parts` untouched) when `address` is not an absolute hierarchical address.
bool splitAddress(std::u16string_view address, AddressParts& parts);

}  // namespace trenmoor::html
