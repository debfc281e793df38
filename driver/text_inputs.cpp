// Text inputs: input boxes of type text, password or file.
#include "driver/element_family.h"

namespace trenmoor {
namespace {

constexpr std::string_view kTextInputInfo[] = {"value", "name", "id", "type"};
constexpr ElementFamily kTextInputs{&PageDriver::findTextInput, &PageDriver::lookupInput, "text|password|file",
                                    &markThrough<&PageDriver::markInputValues>, &ansiLiteral<"文本框">,
                                    kTextInputInfo};

}  // namespace

ComObject PageDriver::findTextInput(const Text& key, std::int32_t skip) {
  return findElement(*this, kTextInputs, key, skip);
}

std::int32_t PageDriver::countTextInputs(bool mark) { return countElements(*this, kTextInputs, mark); }

Text PageDriver::getTextInputValue(const Text& key, std::int32_t skip) {
  return readElementProperty(*this, kTextInputs, key, skip, "value");
}

std::int32_t PageDriver::textInputIndex(const Text& key) { return elementIndex(*this, kTextInputs, key, 0); }

bool PageDriver::textInputInfo(std::int32_t position, Text* value, Text* name, Text* id, Text* type,
                               ComObject* element) {
  return elementInfo(*this, kTextInputs, position, {value, name, id, type}, element);
}

bool PageDriver::setTextInputValue(const Text& key, const Text& value, std::int32_t skip) {
  return writeElementProperty(*this, kTextInputs, key, skip, "value", value);
}

bool PageDriver::focusTextInput(const Text& key, std::int32_t skip) {
  return focusElement(*this, kTextInputs, key, skip);
}

}  // namespace trenmoor
