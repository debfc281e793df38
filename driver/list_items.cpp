// List items: the body's li elements, found by innerText, className, id, title (not by name).
// The family has no find, by-position or hide operation of its own.
#include "driver/element_family.h"

namespace trenmoor {
namespace {

constexpr ElementFamily kListItems{nullptr, &PageDriver::lookupListItem, "li",
                                   &markThrough<&PageDriver::markListItems>, &ansiLiteral<"ULli">, {}};

}  // namespace

std::int32_t PageDriver::countListItems(bool mark) { return countElements(*this, kListItems, mark); }

std::int32_t PageDriver::listItemIndex(const Text& key, std::int32_t skip) {
  return elementIndex(*this, kListItems, key, skip);
}

bool PageDriver::clickListItem(const Text& key, std::int32_t skip) {
  return clickElement(*this, kListItems, key, skip);
}

Text PageDriver::getListItemHtml(const Text& key, std::int32_t skip) {
  return readElementProperty(*this, kListItems, key, skip, "outerHTML");
}

}  // namespace trenmoor
