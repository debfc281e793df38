// Markup and rendered text of a subtree.
//
// Markup: tag names in capitals, as the classic engine writes them; attribute names as parsed
// (lower case) with values always in double quotes; text escaped (&amp; &lt; &gt; &nbsp;),
// raw-text elements (script, style, textarea, ...) written as they are; no line breaks are added.
//
// Rendered text (innerText): white space collapsed outside pre and textarea; one line break
// (CR LF) between blocks and for each br; a tab after each table cell but the last of its row;
// nothing from head, script, style and the like.
#pragma once

#include <string>

#include "standin/html/dom.h"

namespace trenmoor::html {

std::u16string outerMarkup(const Node& node);
std::u16string innerMarkup(const Node& node);
std::u16string renderedText(const Node& node);
// All text of the subtree, unchanged (textContent).
std::u16string textContent(const Node& node);
// Text with white space runs collapsed to one space and trimmed at both ends.
std::u16string collapsedText(std::u16string_view text);

}  // namespace trenmoor::html
