// Parsing with gumbo into our tree. gumbo's tree is walked once and freed.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "standin/html/dom.h"

namespace trenmoor::html {

// Parses a whole page (UTF-8) and appends its html element to `document`.
void parseDocumentInto(Document& document, std::string_view utf8);

// Parses markup as the content of an element named `contextTag` (lower case) and returns the
// top-level nodes, not yet in any tree.
std::vector<Ref<Node>> parseFragment(const std::shared_ptr<DocumentContext>& context,
                                     std::u16string_view contextTag, std::u16string_view markup);

}  // namespace trenmoor::html
