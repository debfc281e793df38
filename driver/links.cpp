// Links: the page's a elements.
#include "driver/page_driver.h"

namespace trenmoor {
namespace {
const Text kLinkTag = "a";
}

ComObject PageDriver::findLink(const Text& key, std::int32_t skip) {
  std::int32_t counter = 0;
  return lookupLink(kLinkTag, key, skip, counter);
}

std::int32_t PageDriver::countLinks(bool mark) {
  std::vector<Text> hrefs, innerTexts, names, ids;
  return markLinks(kLinkTag, ansiLiteral<"链">(), mark, false, hrefs, innerTexts, names, ids);
}

bool PageDriver::linkInfo(std::int32_t position, Text* innerText, Text* href, Text* name, Text* id, ComObject* element) {
  ComObject found = findLink(integerToText(position), 0);
  if (element) *element = found;
  if (innerText) *innerText = found.getText("innerText");
  if (href) *href = found.getText("href");
  if (id) *id = found.getText("id");
  if (name) *name = found.getText("name");
  return !found.empty();
}

std::int32_t PageDriver::linkIndex(const Text& key, std::int32_t skip) {
  std::int32_t counter = 0;
  lookupLink(kLinkTag, key, skip, counter);
  return counter;
}

bool PageDriver::clickLink(const Text& key, std::int32_t skip, bool clearTarget) {
  ComObject found = findLink(key, skip);
  if (clearTarget) found.putText("target", "");
  found.call("click");
  return !found.empty();
}

Text PageDriver::getLinkHtml(const Text& key, std::int32_t skip) { return findLink(key, skip).getText("outerHTML"); }

Text PageDriver::getLinkText(const Text& key, std::int32_t skip) { return findLink(key, skip).getText("innerText"); }

bool PageDriver::focusLink(const Text& key, std::int32_t skip) {
  ComObject found = findLink(key, skip);
  found.call("focus");
  return !found.empty();
}

bool PageDriver::showHideLink(const Text& key, std::int32_t skip, bool hide) {
  return findLink(key, skip).getObject("style").putText("display", hide ? "none" : "");
}

std::int32_t PageDriver::listLinks(std::vector<Text>& innerTexts, std::vector<Text>& hrefs, std::vector<Text>& names,
                                   std::vector<Text>& ids) {
  return markLinks(kLinkTag, ansiLiteral<"链">(), false, true, hrefs, innerTexts, names, ids);
}

}  // namespace trenmoor
