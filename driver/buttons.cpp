// Buttons: inputs of type button, submit or reset, then the button elements, counted on after
// all inputs.
#include "driver/element_family.h"

namespace trenmoor {
namespace {

// The caption is read apart: a button element's text, an input's title.
constexpr std::string_view kButtonInfo[] = {"title", "name", "id", "type"};
constexpr ElementFamily kButtons{&PageDriver::findButton, &PageDriver::lookupInput, "button|submit|reset",
                                 &markThrough<&PageDriver::markInputValues>, &ansiLiteral<"按钮">, kButtonInfo};

}  // namespace

ComObject PageDriver::findButton(const Text& key, std::int32_t skip) { return findElement(*this, kButtons, key, skip); }

bool PageDriver::buttonInfo(std::int32_t position, Text* caption, Text* name, Text* id, Text* type,
                            ComObject* element) {
  ComObject button;
  const bool found = elementInfo(*this, kButtons, position, {caption, name, id, type}, &button);
  if (caption && button.getText("tagName") == "BUTTON") *caption = button.getText("innerText");
  if (element) *element = button;
  return found;
}

std::int32_t PageDriver::countButtons(bool mark) { return countElements(*this, kButtons, mark); }

std::int32_t PageDriver::buttonIndex(const Text& key) { return elementIndex(*this, kButtons, key, 0); }

bool PageDriver::focusButton(const Text& key, std::int32_t skip) { return focusElement(*this, kButtons, key, skip); }

bool PageDriver::showHideButton(const Text& key, std::int32_t skip, bool hide) {
  return showHideElement(*this, kButtons, key, skip, hide);
}

bool PageDriver::clickButton(const Text& key, std::int32_t skip) { return clickElement(*this, kButtons, key, skip); }

}  // namespace trenmoor
