// The class of the browser's document window.
#pragma once

#include <string_view>

namespace trenmoor {

inline constexpr std::string_view kBrowserServerClass = "Internet Explorer_Server";

}  // namespace trenmoor
