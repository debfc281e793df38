// Advanced buttons: the page's cite elements, pressed like buttons.
#include "driver/element_family.h"

namespace trenmoor {
namespace {

constexpr std::string_view kAdvancedButtonInfo[] = {"innerText", "name", "id"};
constexpr ElementFamily kAdvancedButtons{&PageDriver::findAdvancedButton, &PageDriver::lookupCite, "cite",
                                         &markThrough<&PageDriver::markCites>, &ansiLiteral<"高级按钮">,
                                         kAdvancedButtonInfo};

}  // namespace

ComObject PageDriver::findAdvancedButton(const Text& key, std::int32_t skip) {
  return findElement(*this, kAdvancedButtons, key, skip);
}

bool PageDriver::advancedButtonInfo(std::int32_t position, Text* innerText, Text* name, Text* id,
                                    ComObject* element) {
  return elementInfo(*this, kAdvancedButtons, position, {innerText, name, id}, element);
}

std::int32_t PageDriver::countAdvancedButtons(bool mark) { return countElements(*this, kAdvancedButtons, mark); }

std::int32_t PageDriver::advancedButtonIndex(const Text& key, std::int32_t skip) {
  return elementIndex(*this, kAdvancedButtons, key, skip);
}

bool PageDriver::clickAdvancedButton(const Text& key, std::int32_t skip) {
  return clickElement(*this, kAdvancedButtons, key, skip);
}

Text PageDriver::getAdvancedButtonHtml(const Text& key, std::int32_t skip) {
  return readElementProperty(*this, kAdvancedButtons, key, skip, "outerHTML");
}

bool PageDriver::focusAdvancedButton(const Text& key, std::int32_t skip) {
  return focusElement(*this, kAdvancedButtons, key, skip);
}

bool PageDriver::showHideAdvancedButton(const Text& key, std::int32_t skip, bool hide) {
  return showHideElement(*this, kAdvancedButtons, key, skip, hide);
}

}  // namespace trenmoor
