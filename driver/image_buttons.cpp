// Image buttons: inputs of type image (never an img or a button element). They cannot be
// hidden through the driver.
#include "driver/element_family.h"

namespace trenmoor {
namespace {

constexpr std::string_view kImageButtonInfo[] = {"title", "name", "id", "type"};
constexpr ElementFamily kImageButtons{&PageDriver::findImageButton, &PageDriver::lookupInput, "image",
                                      &markThrough<&PageDriver::markInputValues>, &ansiLiteral<"图形按钮">,
                                      kImageButtonInfo};

}  // namespace

ComObject PageDriver::findImageButton(const Text& key, std::int32_t skip) {
  return findElement(*this, kImageButtons, key, skip);
}

bool PageDriver::imageButtonInfo(std::int32_t position, Text* title, Text* name, Text* id, Text* type,
                                 ComObject* element) {
  return elementInfo(*this, kImageButtons, position, {title, name, id, type}, element);
}

std::int32_t PageDriver::countImageButtons(bool mark) { return countElements(*this, kImageButtons, mark); }

std::int32_t PageDriver::imageButtonIndex(const Text& key, std::int32_t skip) {
  return elementIndex(*this, kImageButtons, key, skip);
}

bool PageDriver::clickImageButton(const Text& key, std::int32_t skip) {
  return clickElement(*this, kImageButtons, key, skip);
}

Text PageDriver::getImageButtonHtml(const Text& key, std::int32_t skip) {
  return readElementProperty(*this, kImageButtons, key, skip, "outerHTML");
}

bool PageDriver::focusImageButton(const Text& key, std::int32_t skip) {
  return focusElement(*this, kImageButtons, key, skip);
}

}  // namespace trenmoor
