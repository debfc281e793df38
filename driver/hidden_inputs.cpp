// Hidden inputs: inputs of the body whose type occurs within "hidden", found by name, id,
// title; counted without ever being labelled.
#include "driver/element_family.h"

namespace trenmoor {
namespace {

constexpr std::string_view kHiddenInputInfo[] = {"value", "name", "id", "type"};
constexpr ElementFamily kHiddenInputs{&PageDriver::findHiddenInput, &PageDriver::lookupInput, "hidden",
                                      &markThrough<&PageDriver::markInputValues>, &ansiLiteral<"隐藏表单">,
                                      kHiddenInputInfo};

}  // namespace

ComObject PageDriver::findHiddenInput(const Text& key, std::int32_t skip) {
  return findElement(*this, kHiddenInputs, key, skip);
}

std::int32_t PageDriver::countHiddenInputs() { return countElements(*this, kHiddenInputs, false); }

Text PageDriver::getHiddenInputValue(const Text& key, std::int32_t skip) {
  return readElementProperty(*this, kHiddenInputs, key, skip, "value");
}

std::int32_t PageDriver::hiddenInputIndex(const Text& key) { return elementIndex(*this, kHiddenInputs, key, 0); }

bool PageDriver::hiddenInputInfo(std::int32_t position, Text* value, Text* name, Text* id, Text* type,
                                 ComObject* element) {
  return elementInfo(*this, kHiddenInputs, position, {value, name, id, type}, element);
}

bool PageDriver::setHiddenInputValue(const Text& key, const Text& value, std::int32_t skip) {
  return writeElementProperty(*this, kHiddenInputs, key, skip, "value", value);
}

}  // namespace trenmoor
