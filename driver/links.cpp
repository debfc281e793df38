// Links: the page's a elements.
#include "driver/element_family.h"

namespace trenmoor {
namespace {

constexpr std::string_view kLinkInfo[] = {"innerText", "href", "name", "id"};
constexpr ElementFamily kLinks{&PageDriver::findLink, &PageDriver::lookupLink, "a",
                               &markWithoutCollecting<&PageDriver::markLinks>, &ansiLiteral<"链">, kLinkInfo};

}  // namespace

ComObject PageDriver::findLink(const Text& key, std::int32_t skip) { return findElement(*this, kLinks, key, skip); }

std::int32_t PageDriver::countLinks(bool mark) { return countElements(*this, kLinks, mark); }

bool PageDriver::linkInfo(std::int32_t position, Text* innerText, Text* href, Text* name, Text* id,
                          ComObject* element) {
  return elementInfo(*this, kLinks, position, {innerText, href, name, id}, element);
}

std::int32_t PageDriver::linkIndex(const Text& key, std::int32_t skip) {
  return elementIndex(*this, kLinks, key, skip);
}

bool PageDriver::clickLink(const Text& key, std::int32_t skip, bool clearTarget) {
  ComObject found = findLink(key, skip);
  if (clearTarget) found.putText("target", "");
  return callOnFound(found, "click");
}

Text PageDriver::getLinkHtml(const Text& key, std::int32_t skip) {
  return readElementProperty(*this, kLinks, key, skip, "outerHTML");
}

Text PageDriver::getLinkText(const Text& key, std::int32_t skip) {
  return readElementProperty(*this, kLinks, key, skip, "innerText");
}

bool PageDriver::focusLink(const Text& key, std::int32_t skip) { return focusElement(*this, kLinks, key, skip); }

bool PageDriver::showHideLink(const Text& key, std::int32_t skip, bool hide) {
  return showHideElement(*this, kLinks, key, skip, hide);
}

std::int32_t PageDriver::listLinks(std::vector<Text>& innerTexts, std::vector<Text>& hrefs, std::vector<Text>& names,
                                   std::vector<Text>& ids) {
  return markLinks(Text(kLinks.filter), kLinks.kindLabel(), false, true, hrefs, innerTexts, names, ids);
}

}  // namespace trenmoor
