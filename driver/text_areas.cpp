// Text areas: the page's textarea elements.
#include "driver/element_family.h"

namespace trenmoor {
namespace {

constexpr std::string_view kTextAreaInfo[] = {"value", "name", "id"};
constexpr ElementFamily kTextAreas{&PageDriver::findTextArea, &PageDriver::lookupTextArea, "textarea",
                                   &markThrough<&PageDriver::markTextAreas>, &ansiLiteral<"多行文本框">,
                                   kTextAreaInfo};

}  // namespace

ComObject PageDriver::findTextArea(const Text& key, std::int32_t skip) {
  return findElement(*this, kTextAreas, key, skip);
}

bool PageDriver::focusTextArea(const Text& key, std::int32_t skip) { return focusElement(*this, kTextAreas, key, skip); }

bool PageDriver::showHideTextArea(const Text& key, std::int32_t skip, bool hide) {
  return showHideElement(*this, kTextAreas, key, skip, hide);
}

std::int32_t PageDriver::countTextAreas(bool mark) { return countElements(*this, kTextAreas, mark); }

Text PageDriver::getTextAreaValue(const Text& key, std::int32_t skip) {
  return readElementProperty(*this, kTextAreas, key, skip, "value");
}

std::int32_t PageDriver::textAreaIndex(const Text& key, std::int32_t skip) {
  return elementIndex(*this, kTextAreas, key, skip);
}

bool PageDriver::textAreaInfo(std::int32_t position, Text* value, Text* name, Text* id, ComObject* element) {
  return elementInfo(*this, kTextAreas, position, {value, name, id}, element);
}

bool PageDriver::setTextAreaValue(const Text& key, const Text& value, std::int32_t skip) {
  return writeElementProperty(*this, kTextAreas, key, skip, "value", value);
}

}  // namespace trenmoor
