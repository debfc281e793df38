// A string literal as a template argument, its characters held by value, so that a template is
// instantiated once for each literal: ansiLiteral<"确认信息">, or an attribute name as u"title".
#pragma once

#include <cstddef>
#include <string_view>

namespace trenmoor {

template <typename Char, std::size_t N>
struct FixedString {
  Char characters[N];
  constexpr FixedString(const Char (&literal)[N]) {  // NOLINT: implicit by design
    for (std::size_t i = 0; i < N; ++i) characters[i] = literal[i];
  }
  constexpr std::basic_string_view<Char> view() const { return {characters, N - 1}; }
};

}  // namespace trenmoor
