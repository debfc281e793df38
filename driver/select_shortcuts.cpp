// Select shortcuts: each use of selectCommand as an operation of its own.
#include "driver/element_family.h"

namespace trenmoor {

std::int32_t PageDriver::countSelects(bool mark) {
  std::int32_t selects = 0;
  selectCommand(0, kCountAndLabel, 0, nullptr, nullptr, {}, nullptr, {}, &selects, mark);
  return selects;
}

std::int32_t PageDriver::getOptionCount(std::int32_t selectPosition) {
  std::int32_t options = 0;
  selectCommand(selectPosition, kOptionCount, 0, &options);
  return options;
}

Text PageDriver::getOptionText(std::int32_t selectPosition, std::int32_t optionPosition) {
  Text text;
  selectCommand(selectPosition, kOptionText, optionPosition, nullptr, &text);
  return text;
}

bool PageDriver::setOptionText(std::int32_t selectPosition, std::int32_t optionPosition, const Text& text) {
  return selectCommand(selectPosition, kSetOptionText, optionPosition, nullptr, nullptr, text);
}

Text PageDriver::getOptionValue(std::int32_t selectPosition, std::int32_t optionPosition) {
  Text value;
  selectCommand(selectPosition, kOptionValue, optionPosition, nullptr, nullptr, {}, &value);
  return value;
}

bool PageDriver::setOptionValue(std::int32_t selectPosition, std::int32_t optionPosition, const Text& value) {
  return selectCommand(selectPosition, kSetOptionValue, optionPosition, nullptr, nullptr, {}, nullptr, value);
}

std::int32_t PageDriver::getSelectedIndex(std::int32_t selectPosition) {
  std::int32_t index = 0;
  selectCommand(selectPosition, kSelectedIndex, 0, nullptr, nullptr, {}, nullptr, {}, nullptr, false, &index);
  return index;
}

bool PageDriver::selectOptionByIndex(std::int32_t selectPosition, std::int32_t optionPosition) {
  return selectCommand(selectPosition, kSelectByPosition, optionPosition);
}

bool PageDriver::selectOptionByText(std::int32_t selectPosition, const Text& text) {
  return selectCommand(selectPosition, kSelectByText, 0, nullptr, nullptr, {}, nullptr, {}, nullptr, false, nullptr,
                       text);
}

// The select at the position through selectCommand; empty when none stands there.
static ComObject selectAt(PageDriver& driver, std::int32_t selectPosition) {
  ComObject select;
  const bool found = driver.selectCommand(selectPosition, PageDriver::kOptionCount, 0, nullptr, nullptr, {}, nullptr,
                                          {}, nullptr, false, nullptr, {}, &select);
  return found ? select : ComObject();
}

bool PageDriver::focusSelect(std::int32_t selectPosition) { return callOnFound(selectAt(*this, selectPosition), "focus"); }

bool PageDriver::showHideSelect(std::int32_t selectPosition, bool hide) {
  const ComObject select = selectAt(*this, selectPosition);
  return !select.empty() && writeDisplay(select, hide);
}

}  // namespace trenmoor
