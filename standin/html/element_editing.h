// Writes of an element's content and surroundings (innerHTML, innerText, outerHTML, outerText,
// insertAdjacentHTML/Text), with the classic engine's refusals.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "standin/html/dom.h"

namespace trenmoor::html {

enum class Markup { Html, Text };

// False, changing nothing, where the element refuses the write: void elements, select and the
// table parts for content; html, head, body, the table parts and detached elements for outer.
bool setInnerMarkup(Element& e, std::u16string_view markup);
bool setInnerText(Element& e, std::u16string_view text);
bool replaceWithMarkup(Element& e, std::u16string_view markup);
bool replaceWithText(Element& e, std::u16string_view text);
// `where`: beforeBegin, afterBegin, beforeEnd, afterEnd (any case).
bool insertAdjacent(Element& e, std::u16string_view where, std::u16string_view content, Markup kind);

// Position among all elements of the document in document order; -1 when not in a document.
std::int32_t sourceIndex(const Element& e);

// An attribute write coming from the page: like setAttribute, and a frame whose src changes
// is announced to the host again.
void setAttributeFromPage(Element& e, std::u16string_view name, std::u16string value);

// "*" or empty: any tag; otherwise the name in lower case.
std::u16string tagFilterName(std::u16string_view tag);

}  // namespace trenmoor::html
