// Drop-down selects, found by their position among the document's select elements.
#include "driver/element_lookup.h"
#include "driver/page_driver.h"

namespace trenmoor {
namespace {

// The option at a 1-based position of the select (empty outside it). The select's options
// collection is the select's own item: fetched once, it serves a whole walk of the options.
ComObject optionAt(const ComObject& options, std::int32_t position) {
  return options.callObject("item", {Variant(static_cast<double>(position) - 1)});
}

// Labels the select at `position`: its first option becomes selected and reads 组合框N.
void labelSelect(const ComObject& select, std::int32_t position) {
  select.put("selectedIndex", Variant(0.0));
  optionAt(select.getObject("options"), 1).putText("text", ansiLiteral<"组合框">() + integerToText(position));
}

// Selects the option at the 0-based index as a user would: pending events run, a short pause,
// then the change event; whether the selectedIndex write succeeded.
bool selectAndFireChange(const ComObject& select, double index) {
  processPendingEvents();
  win::Sleep(10);
  const bool written = select.put("selectedIndex", Variant(index));
  select.call("fireEvent", {ComObject::textArgument("onchange")});
  return written;
}

// Code 7: the first option whose text equals the text exactly. Whether one did and the
// selectedIndex write succeeded; no match selects nothing.
bool selectByText(const ComObject& select, const Text& text, std::int32_t& optionCount, bool& matched) {
  const ComObject options = select.getObject("options");
  optionCount = options.getInteger("length");
  for (std::int32_t i = 1; i <= optionCount; ++i) {
    if (optionAt(options, i).getText("text") != text) continue;
    matched = true;
    return selectAndFireChange(select, i - 1);
  }
  matched = false;
  return false;
}

ComObject selectsOf(const ComObject& document) {
  return document.callObject("getElementsByTagName", {ComObject::textArgument("select")});
}

}  // namespace

bool PageDriver::selectCommand(std::int32_t selectPosition, std::int32_t op, std::int32_t optionPosition,
                               std::int32_t* optionCount, Text* optionText, const Text& newText, Text* optionValue,
                               const Text& newValue, std::int32_t* selectCount, bool mark,
                               std::int32_t* selectedIndex, const Text& textToSelect, ComObject* selectElement) {
  // 1. The document's selects; labelling writes into them, so they are taken before it starts.
  const CollectionItems selects(selectsOf(document_), op == kCountAndLabel ? Visiting::TakenFirst : Visiting::Live);
  const std::int32_t count = selects.length();
  // 2. Walk them; the caller's element variable follows the walk.
  for (std::int32_t p = 1; p <= count; ++p) {
    const ComObject select = selects.at(p - 1);
    if (selectElement) *selectElement = select;
    if (op == kCountAndLabel) {
      if (mark) labelSelect(select, p);
      continue;
    }
    if (p != selectPosition) continue;
    switch (op) {
      case kOptionCount:
        if (optionCount) *optionCount = select.getInteger("length");
        return true;
      case kOptionText:
      case kOptionValue: {
        const Text read = optionAt(select.getObject("options"), optionPosition).getText(op == kOptionText ? "text" : "value");
        if (Text* out = op == kOptionText ? optionText : optionValue) *out = read;
        return true;
      }
      case kSetOptionText:
        return optionAt(select.getObject("options"), optionPosition).putText("text", newText);
      case kSetOptionValue:
        return optionAt(select.getObject("options"), optionPosition).putText("value", newValue);
      case kSelectedIndex:
        if (selectedIndex) *selectedIndex = select.getInteger("selectedIndex");
        return true;
      case kSelectByPosition:
        return selectAndFireChange(select, static_cast<double>(optionPosition) - 1);
      case kSelectByText: {
        std::int32_t options = 0;
        bool matched = false;
        const bool written = selectByText(select, textToSelect, options, matched);
        if (optionCount) *optionCount = options;
        if (matched) return written;
        break;  // no option has the text: the walk goes on as for a miss
      }
      default: break;
    }
  }
  // 3. Nothing acted on: the number of selects.
  if (selectCount) *selectCount = count;
  return false;
}

std::int32_t PageDriver::listSelects(std::vector<std::int32_t>& optionCounts, std::vector<Text>& types,
                                     std::vector<Text>& names, std::vector<Text>& ids, std::vector<Text>& outerHtmls,
                                     bool mark) {
  const CollectionItems selects(selectsOf(document_), mark ? Visiting::TakenFirst : Visiting::Live);
  const std::int32_t count = selects.length();
  for (std::int32_t p = 1; p <= count; ++p) {
    const ComObject select = selects.at(p - 1);
    types.push_back(select.getText("type"));
    names.push_back(select.getText("name"));
    ids.push_back(select.getText("ID"));
    optionCounts.push_back(select.getInteger("length"));
    outerHtmls.push_back(select.getText("outerHTML"));
    if (mark) labelSelect(select, p);
  }
  return count;
}

}  // namespace trenmoor
