#include "driver/element_family.h"

namespace trenmoor {
namespace {

ComObject lookUp(PageDriver& driver, const ElementFamily& family, const Text& key, std::int32_t skip,
                 std::int32_t& counter) {
  return (driver.*family.finder)(Text(family.filter), key, skip, counter);
}

}  // namespace

ComObject findElement(PageDriver& driver, const ElementFamily& family, const Text& key, std::int32_t skip) {
  std::int32_t counter = 0;
  return lookUp(driver, family, key, skip, counter);
}

// Keyed operations find through the family's find operation when it has one.
static ComObject found(PageDriver& driver, const ElementFamily& family, const Text& key, std::int32_t skip) {
  return family.find ? (driver.*family.find)(key, skip) : findElement(driver, family, key, skip);
}

std::int32_t elementIndex(PageDriver& driver, const ElementFamily& family, const Text& key, std::int32_t skip) {
  std::int32_t counter = 0;
  lookUp(driver, family, key, skip, counter);
  return counter;
}

std::int32_t countElements(PageDriver& driver, const ElementFamily& family, bool mark) {
  return family.marker(driver, Text(family.filter), family.kindLabel(), mark);
}

bool callOnFound(const ComObject& found, std::string_view method) {
  found.call(method);
  return !found.empty();
}

bool clickElement(PageDriver& driver, const ElementFamily& family, const Text& key, std::int32_t skip) {
  return callOnFound(found(driver, family, key, skip), "click");
}

bool focusElement(PageDriver& driver, const ElementFamily& family, const Text& key, std::int32_t skip) {
  return callOnFound(found(driver, family, key, skip), "focus");
}

bool writeDisplay(const ComObject& element, bool hide) {
  return element.getObject("style").putText("display", hide ? "none" : "");
}

bool showHideElement(PageDriver& driver, const ElementFamily& family, const Text& key, std::int32_t skip, bool hide) {
  return writeDisplay(found(driver, family, key, skip), hide);
}

bool isElementChecked(PageDriver& driver, const ElementFamily& family, const Text& key, std::int32_t skip) {
  return found(driver, family, key, skip).getText("checked") == "-1";
}

bool setElementChecked(PageDriver& driver, const ElementFamily& family, const Text& key, std::int32_t skip, bool on,
                       bool fire) {
  const ComObject element = found(driver, family, key, skip);
  if (element.empty()) return false;
  element.putText("checked", on ? "checked" : "");
  if (fire) driver.fireElementEvent(element, "onmousedown");
  return true;
}

Text readElementProperty(PageDriver& driver, const ElementFamily& family, const Text& key, std::int32_t skip,
                         std::string_view property) {
  return found(driver, family, key, skip).getText(property);
}

bool writeElementProperty(PageDriver& driver, const ElementFamily& family, const Text& key, std::int32_t skip,
                          std::string_view property, std::string_view value) {
  return found(driver, family, key, skip).putText(property, value);
}

bool elementInfo(PageDriver& driver, const ElementFamily& family, std::int32_t position,
                 std::initializer_list<Text*> outs, ComObject* element) {
  ComObject at = found(driver, family, integerToText(position), 0);
  if (element) *element = at;
  std::size_t index = 0;
  for (Text* out : outs) {
    if (out && index < family.infoProperties.size()) *out = at.getText(family.infoProperties[index]);
    ++index;
  }
  return !at.empty();
}

}  // namespace trenmoor
