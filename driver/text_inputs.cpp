// Text inputs: input boxes of type text, password or file.
#include "driver/page_driver.h"

namespace trenmoor {
namespace {
const Text kTextInputTypes = "text|password|file";
}

ComObject PageDriver::findTextInput(const Text& key, std::int32_t skip) {
  std::int32_t counter = 0;
  return lookupInput(kTextInputTypes, key, skip, counter);
}

std::int32_t PageDriver::countTextInputs(bool mark) {
  return markInputValues(kTextInputTypes, ansiLiteral<"文本框">(), mark);
}

Text PageDriver::getTextInputValue(const Text& key, std::int32_t skip) { return findTextInput(key, skip).getText("value"); }

std::int32_t PageDriver::textInputIndex(const Text& key) {
  std::int32_t counter = 0;
  lookupInput(kTextInputTypes, key, 0, counter);
  return counter;
}

bool PageDriver::textInputInfo(std::int32_t position, Text* value, Text* name, Text* id, Text* type, ComObject* element) {
  ComObject found = findTextInput(integerToText(position), 0);
  if (element) *element = found;
  if (value) *value = found.getText("value");
  if (name) *name = found.getText("name");
  if (id) *id = found.getText("id");
  if (type) *type = found.getText("type");
  return !found.empty();
}

bool PageDriver::setTextInputValue(const Text& key, const Text& value, std::int32_t skip) {
  return findTextInput(key, skip).putText("value", value);
}

bool PageDriver::focusTextInput(const Text& key, std::int32_t skip) {
  ComObject found = findTextInput(key, skip);
  found.call("focus");
  return !found.empty();
}

}  // namespace trenmoor
