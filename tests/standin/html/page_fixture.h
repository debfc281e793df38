// Small inline pages for the HTML stand-in's tests.
#pragma once

#include <string>
#include <string_view>

#include "platform/com_object.h"
#include "standin/html/dom.h"

namespace trenmoor::html {

inline constexpr std::string_view kPageAddress = "http://example.com/dir/page.html";

// The document of `markup` (bytes as given) at `address`.
Ref<Document> loadPage(std::string_view markup, std::string_view charset = "utf-8",
                       std::string_view address = kPageAddress, DocumentHost* host = nullptr);
// The same, as the driver sees it.
ComObject pageObject(std::string_view markup, std::string_view charset = "utf-8");
// An element of a page by id, through the document's getElementById.
ComObject byId(const ComObject& document, std::string_view id);

}  // namespace trenmoor::html
